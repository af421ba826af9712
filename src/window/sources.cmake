# Sources of the quorelle_window library.
set(QUORELLE_WINDOW_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/Dia_Parameters.cpp
  ${CMAKE_CURRENT_LIST_DIR}/QuorelleDoc.cpp
  ${CMAKE_CURRENT_LIST_DIR}/QuorelleView.cpp
  ${CMAKE_CURRENT_LIST_DIR}/QuoteLog.cpp
  ${CMAKE_CURRENT_LIST_DIR}/QuoteViewPainting.cpp
  ${CMAKE_CURRENT_LIST_DIR}/QuoteViewPrinting.cpp
  ${CMAKE_CURRENT_LIST_DIR}/QuoteViewProperties.cpp
  ${CMAKE_CURRENT_LIST_DIR}/QuoteViewRefresh.cpp
  ${CMAKE_CURRENT_LIST_DIR}/IntradayBackfill.cpp
  ${CMAKE_CURRENT_LIST_DIR}/RefreshPeriod.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SecurityEntry.cpp
  ${CMAKE_CURRENT_LIST_DIR}/DayFile.cpp
  ${CMAKE_CURRENT_LIST_DIR}/DayFileIndex.cpp
  ${CMAKE_CURRENT_LIST_DIR}/DayFileSession.cpp
  ${CMAKE_CURRENT_LIST_DIR}/HistoryCsv.cpp
  ${CMAKE_CURRENT_LIST_DIR}/QuoteViewTools.cpp
)

