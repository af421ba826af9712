# Sources of src/framework: Qt-free ones go to the core library, the rest to the UI library.
list(APPEND QUORELLE_CORE_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/Globals.cpp
  ${CMAKE_CURRENT_LIST_DIR}/MessageBox.cpp
  ${CMAKE_CURRENT_LIST_DIR}/CText.cpp
)
list(APPEND QUORELLE_UI_SOURCES
)
