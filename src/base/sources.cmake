# Sources of the quorelle_base library (QtCore only).
set(QUORELLE_BASE_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/CText.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Globals.cpp
  ${CMAKE_CURRENT_LIST_DIR}/MessageBox.cpp
  ${CMAKE_CURRENT_LIST_DIR}/PosixFile.cpp
  ${CMAKE_CURRENT_LIST_DIR}/QtText.cpp
  ${CMAKE_CURRENT_LIST_DIR}/StatusText.cpp
  ${CMAKE_CURRENT_LIST_DIR}/WaitCursor.cpp
)
