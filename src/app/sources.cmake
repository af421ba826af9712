# Sources of src/app: Qt-free ones go to the core library, the rest to the UI library.
list(APPEND QUORELLE_CORE_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/MarketCommands.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ResourceTables.cpp
)
list(APPEND QUORELLE_UI_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/AboutDlg.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ChildFrame.cpp
  ${CMAKE_CURRENT_LIST_DIR}/FindQuoteWorldwide.cpp
  ${CMAKE_CURRENT_LIST_DIR}/MainFrame.cpp
  ${CMAKE_CURRENT_LIST_DIR}/QuorelleApp.cpp
  ${CMAKE_CURRENT_LIST_DIR}/TerminationSignals.cpp
)
