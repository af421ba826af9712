# Sources of the quorelle_app library.
set(QUORELLE_APP_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/AboutDlg.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ChildFrame.cpp
  ${CMAKE_CURRENT_LIST_DIR}/MainFrame.cpp
  ${CMAKE_CURRENT_LIST_DIR}/MarketCommands.cpp
  ${CMAKE_CURRENT_LIST_DIR}/QuorelleApp.cpp
  ${CMAKE_CURRENT_LIST_DIR}/QuoteDirectory.cpp
  ${CMAKE_CURRENT_LIST_DIR}/QuoteSourcesDialog.cpp
  ${CMAKE_CURRENT_LIST_DIR}/QuoteSourceText.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ResourceTables.cpp
  ${CMAKE_CURRENT_LIST_DIR}/TerminationSignals.cpp
)
