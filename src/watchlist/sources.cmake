# Sources of the quorelle_watchlist library: rows, alerts and their file
# (widget-free), the refresher, the table model, the notifier, the alert
# dialog, the document and view.
set(QUORELLE_WATCHLIST_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/WatchlistCore.cpp
  ${CMAKE_CURRENT_LIST_DIR}/WatchLists.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Holdings.cpp
  ${CMAKE_CURRENT_LIST_DIR}/HoldingsCsv.cpp
  ${CMAKE_CURRENT_LIST_DIR}/WatchlistStore.cpp
  ${CMAKE_CURRENT_LIST_DIR}/WatchlistRefresher.cpp
  ${CMAKE_CURRENT_LIST_DIR}/WatchlistModel.cpp
  ${CMAKE_CURRENT_LIST_DIR}/WatchlistTotals.cpp
  ${CMAKE_CURRENT_LIST_DIR}/AlertNotifier.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Dia_Alert.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Dia_Holdings.cpp
  ${CMAKE_CURRENT_LIST_DIR}/WatchlistDoc.cpp
  ${CMAKE_CURRENT_LIST_DIR}/WatchlistView.cpp
)
