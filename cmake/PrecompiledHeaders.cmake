# Precompiled headers. Most of a translation unit's compile time here goes
# into parsing the same Qt, GoogleTest and cpp-httplib headers again; each
# target family parses them once instead. Only library headers go in: our own
# headers change too often to be worth it, and a precompiled header must not
# hide a missing include of our own.
#
# The test suites and test libraries share one precompiled header per kind:
# without Qt it is built by quorelle_test_support, with Qt by
# quorelle_gui_test_main (tests/CMakeLists.txt).

option(QUORELLE_PCH "Precompile the library headers every file parses (faster builds)" ON)

set(QUORELLE_PCH_STD
  <algorithm> <cstdint> <filesystem> <functional> <map> <memory> <optional>
  <stdexcept> <string> <string_view> <utility> <vector>)

set(QUORELLE_PCH_QT
  <QApplication> <QComboBox> <QDialog> <QLabel> <QLineEdit> <QMainWindow>
  <QMdiArea> <QMdiSubWindow> <QPainter> <QPointer> <QPrinter> <QPushButton>
  <QSettings> <QTimer> <QToolBar> <QWidget>)

set(QUORELLE_PCH_TEST <gtest/gtest.h> <gmock/gmock.h> <httplib.h>)

# quorelle_use_pch(TARGET HEADERS...)
function(quorelle_use_pch target)
  if(QUORELLE_PCH)
    target_precompile_headers(${target} PRIVATE ${ARGN})
  endif()
endfunction()

# quorelle_reuse_pch(TARGET FROM)
function(quorelle_reuse_pch target from)
  if(QUORELLE_PCH)
    target_precompile_headers(${target} REUSE_FROM ${from})
  endif()
endfunction()
