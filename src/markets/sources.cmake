# Sources of src/markets: Qt-free ones go to the core library, the rest to the UI library.
list(APPEND QUORELLE_CORE_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/MarketTable.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SymbolList.cpp
  ${CMAKE_CURRENT_LIST_DIR}/FindMatcher.cpp
)
list(APPEND QUORELLE_UI_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/QuoteDirectory.cpp
  ${CMAKE_CURRENT_LIST_DIR}/RefreshQuote.cpp
  ${CMAKE_CURRENT_LIST_DIR}/LoadMarketList.cpp
  ${CMAKE_CURRENT_LIST_DIR}/FindInList.cpp
)
