# Sources of the quorelle_markets library.
set(QUORELLE_MARKETS_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/Dia_Find.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Dia_FindWorldwide.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ListView.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ListViewModel.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ListViewOrder.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ProgressCtrl.cpp
)
