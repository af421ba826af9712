# Sources of the quorelle_chart library.
set(QUORELLE_CHART_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/ChartGeometry.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ChartText.cpp
  ${CMAKE_CURRENT_LIST_DIR}/DeviceContext.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Font.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Graph.cpp
  ${CMAKE_CURRENT_LIST_DIR}/GraphDraw.cpp
  ${CMAKE_CURRENT_LIST_DIR}/PointRow.cpp
  ${CMAKE_CURRENT_LIST_DIR}/PriceText.cpp
  ${CMAKE_CURRENT_LIST_DIR}/QuoteChartContent.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ChartExport.cpp
  ${CMAKE_CURRENT_LIST_DIR}/PngEncoder.cpp
)
