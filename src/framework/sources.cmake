# Sources of src/framework: Qt-free ones go to the core library, the rest to the UI library.
list(APPEND QUORELLE_CORE_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/Globals.cpp
  ${CMAKE_CURRENT_LIST_DIR}/MessageBox.cpp
  ${CMAKE_CURRENT_LIST_DIR}/CText.cpp
  ${CMAKE_CURRENT_LIST_DIR}/RecentFileList.cpp
)
list(APPEND QUORELLE_UI_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/CommandRouter.cpp
  ${CMAKE_CURRENT_LIST_DIR}/DocTemplate.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Document.cpp
  ${CMAKE_CURRENT_LIST_DIR}/MDIChildWnd.cpp
  ${CMAKE_CURRENT_LIST_DIR}/MDIFrameWnd.cpp
  ${CMAKE_CURRENT_LIST_DIR}/QtMessageBox.cpp
  ${CMAKE_CURRENT_LIST_DIR}/QtText.cpp
  ${CMAKE_CURRENT_LIST_DIR}/StatusBar.cpp
  ${CMAKE_CURRENT_LIST_DIR}/View.cpp
  ${CMAKE_CURRENT_LIST_DIR}/WaitCursor.cpp
  ${CMAKE_CURRENT_LIST_DIR}/WinApp.cpp
)
