# Sources of the quorelle_marketdata library: symbol lists, the market and
# country tables, finding in a list and where the lists are (no widgets).
set(QUORELLE_MARKETDATA_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/CountryTable.cpp
  ${CMAKE_CURRENT_LIST_DIR}/FindInList.cpp
  ${CMAKE_CURRENT_LIST_DIR}/FindMatcher.cpp
  ${CMAKE_CURRENT_LIST_DIR}/LoadMarketList.cpp
  ${CMAKE_CURRENT_LIST_DIR}/MarketListLocation.cpp
  ${CMAKE_CURRENT_LIST_DIR}/MarketTable.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SymbolList.cpp
)
