# Sources of the quorelle_markets library.
set(QUORELLE_MARKETS_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/CountryTable.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Dia_Find.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Dia_FindWorldwide.cpp
  ${CMAKE_CURRENT_LIST_DIR}/FindInList.cpp
  ${CMAKE_CURRENT_LIST_DIR}/FindMatcher.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ListView.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ListViewModel.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ListViewOrder.cpp
  ${CMAKE_CURRENT_LIST_DIR}/LoadMarketList.cpp
  ${CMAKE_CURRENT_LIST_DIR}/MarketListLocation.cpp
  ${CMAKE_CURRENT_LIST_DIR}/MarketTable.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ProgressCtrl.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SymbolList.cpp
)
