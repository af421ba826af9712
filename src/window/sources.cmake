# Sources of src/window: Qt-free ones go to the core library, the rest to the UI library.
list(APPEND QUORELLE_CORE_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/QuoteLog.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SecurityEntry.cpp
  ${CMAKE_CURRENT_LIST_DIR}/RefreshPeriod.cpp
)
list(APPEND QUORELLE_UI_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/QuorelleDoc.cpp
  ${CMAKE_CURRENT_LIST_DIR}/QuorelleView.cpp
  ${CMAKE_CURRENT_LIST_DIR}/QuoteViewRefresh.cpp
  ${CMAKE_CURRENT_LIST_DIR}/QuoteViewProperties.cpp
)
