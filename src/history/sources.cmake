# Sources of the quorelle_history library: the History window and its chart.
set(QUORELLE_HISTORY_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/HistoryChart.cpp
  ${CMAKE_CURRENT_LIST_DIR}/HistoryDoc.cpp
  ${CMAKE_CURRENT_LIST_DIR}/HistoryView.cpp
)
