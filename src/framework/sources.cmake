# Sources of the quorelle_framework library.
set(QUORELLE_FRAMEWORK_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/CommandRouter.cpp
  ${CMAKE_CURRENT_LIST_DIR}/DocTemplate.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Document.cpp
  ${CMAKE_CURRENT_LIST_DIR}/MDIChildWnd.cpp
  ${CMAKE_CURRENT_LIST_DIR}/MDIFrameWnd.cpp
  ${CMAKE_CURRENT_LIST_DIR}/QtMessageBox.cpp
  ${CMAKE_CURRENT_LIST_DIR}/QtWaitCursor.cpp
  ${CMAKE_CURRENT_LIST_DIR}/RecentFileList.cpp
  ${CMAKE_CURRENT_LIST_DIR}/StatusBar.cpp
  ${CMAKE_CURRENT_LIST_DIR}/View.cpp
  ${CMAKE_CURRENT_LIST_DIR}/WinApp.cpp
)
