# Sources of src/quote: Qt-free ones go to the core library, the rest to the UI library.
list(APPEND QUORELLE_CORE_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/PageDownloader.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ExtractField.cpp
  ${CMAKE_CURRENT_LIST_DIR}/FindText.cpp
  ${CMAKE_CURRENT_LIST_DIR}/QuoteTime.cpp
  ${CMAKE_CURRENT_LIST_DIR}/UrlEscape.cpp
  ${CMAKE_CURRENT_LIST_DIR}/MsnQuotePage.cpp
  ${CMAKE_CURRENT_LIST_DIR}/CnnQuotePage.cpp
)
list(APPEND QUORELLE_UI_SOURCES
)
