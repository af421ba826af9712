# Sources of src/markets: Qt-free ones go to the core library, the rest to the UI library.
list(APPEND QUORELLE_CORE_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/MarketTable.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SymbolList.cpp
  ${CMAKE_CURRENT_LIST_DIR}/FindMatcher.cpp
  ${CMAKE_CURRENT_LIST_DIR}/CountryTable.cpp
)
list(APPEND QUORELLE_UI_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/QuoteDirectory.cpp
  ${CMAKE_CURRENT_LIST_DIR}/RefreshQuote.cpp
  ${CMAKE_CURRENT_LIST_DIR}/OpenQuoteWindow.cpp
  ${CMAKE_CURRENT_LIST_DIR}/LoadMarketList.cpp
  ${CMAKE_CURRENT_LIST_DIR}/MarketListLocation.cpp
  ${CMAKE_CURRENT_LIST_DIR}/FindInList.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ListView.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Dia_Find.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Dia_FindWorldwide.cpp
)
list(APPEND QUORELLE_CORE_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/ListViewOrder.cpp
)
list(APPEND QUORELLE_UI_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/ListViewModel.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ProgressCtrl.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ShowFillProgress.cpp
)
