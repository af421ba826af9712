#include <clocale>
#include <filesystem>
#include <system_error>

#include <QApplication>
#include <gtest/gtest.h>

#include "framework/QtWaitCursor.h"
#include "support/TestEnvironment.h"

int main(int argc, char** argv)
{
    testing_support::IsolateTestProcess();
    QApplication app(argc, argv);
    // The busy cursor shows as the application shows it.
    InstallQtWaitCursor();
    // QApplication adopts the environment's locale; tests that need another
    // one set it themselves.
    ::testing::InitGoogleTest(&argc, argv);
    int result = RUN_ALL_TESTS();
    std::error_code ec;
    std::filesystem::current_path(std::filesystem::temp_directory_path(), ec);
    std::filesystem::remove_all(testing_support::TestProcessDir(), ec);
    return result;
}
