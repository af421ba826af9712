# Sources of src/chart: Qt-free ones go to the core library, the rest to the UI library.
list(APPEND QUORELLE_CORE_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/ChartGeometry.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ChartText.cpp
  ${CMAKE_CURRENT_LIST_DIR}/PointRow.cpp
  ${CMAKE_CURRENT_LIST_DIR}/QuoteChartContent.cpp
)
list(APPEND QUORELLE_UI_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/DisplayText.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Font.cpp
  ${CMAKE_CURRENT_LIST_DIR}/DeviceContext.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Graph.cpp
  ${CMAKE_CURRENT_LIST_DIR}/GraphDraw.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Dia_Parameters.cpp
  ${CMAKE_CURRENT_LIST_DIR}/QuoteViewPainting.cpp
  ${CMAKE_CURRENT_LIST_DIR}/QuoteViewPrinting.cpp
)
