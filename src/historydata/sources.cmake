# Sources of the quorelle_historydata library: price history without widgets
# (bars, their readers, the SQLite cache, ranges, the fetch), which the
# command-line tool shares with the History window.
set(QUORELLE_HISTORYDATA_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/HistoryBars.cpp
  ${CMAKE_CURRENT_LIST_DIR}/HistoryRange.cpp
  ${CMAKE_CURRENT_LIST_DIR}/BarReader.cpp
  ${CMAKE_CURRENT_LIST_DIR}/HistoryCache.cpp
  ${CMAKE_CURRENT_LIST_DIR}/MissingRange.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SeriesShaping.cpp
  ${CMAKE_CURRENT_LIST_DIR}/HistoryService.cpp
)
