# Sources of the quorelle_history library.
set(QUORELLE_HISTORY_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/HistoryBars.cpp
  ${CMAKE_CURRENT_LIST_DIR}/HistoryRange.cpp
  ${CMAKE_CURRENT_LIST_DIR}/BarReader.cpp
  ${CMAKE_CURRENT_LIST_DIR}/HistoryCache.cpp
  ${CMAKE_CURRENT_LIST_DIR}/MissingRange.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SeriesShaping.cpp
  ${CMAKE_CURRENT_LIST_DIR}/HistoryService.cpp
)
list(APPEND QUORELLE_HISTORY_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/HistoryChart.cpp
  ${CMAKE_CURRENT_LIST_DIR}/HistoryDoc.cpp
  ${CMAKE_CURRENT_LIST_DIR}/HistoryView.cpp
)
