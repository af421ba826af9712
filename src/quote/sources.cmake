# Sources of the quorelle_quote library.
set(QUORELLE_QUOTE_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/CnnQuotePage.cpp
  ${CMAKE_CURRENT_LIST_DIR}/EventfulWait.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ExtractField.cpp
  ${CMAKE_CURRENT_LIST_DIR}/FindText.cpp
  ${CMAKE_CURRENT_LIST_DIR}/HttpTransfer.cpp
  ${CMAKE_CURRENT_LIST_DIR}/MsnQuotePage.cpp
  ${CMAKE_CURRENT_LIST_DIR}/PageDownloader.cpp
  ${CMAKE_CURRENT_LIST_DIR}/QuoteService.cpp
  ${CMAKE_CURRENT_LIST_DIR}/QuoteTime.cpp
  ${CMAKE_CURRENT_LIST_DIR}/UrlEscape.cpp
)
