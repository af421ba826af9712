#pragma once

#include <memory>
#include <string>
#include <vector>

#include <QMenu>
#include <gtest/gtest.h>

#include "app/MainFrame.h"
#include "app/QuorelleApp.h"

class CMDIChildWnd;

// A started application (InitInstance run, main frame shown) on empty
// per-user settings, with helpers to read menus and command states.
class AppTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Menu titles of the menu bar as shown now.
    std::vector<std::string> MenuTitles() const;
    // Items of the menu bar's menu with that title: texts, "-" for a
    // separator; hidden items are left out.
    std::vector<std::string> MenuItems(const std::string& title) const;
    bool Enabled(int id);
    CMDIChildWnd* Active() const;
    int WindowCount() const;

    std::unique_ptr<CQuorelleApp> m_app;
    CMainFrame* m_frame = nullptr;
};

// Clears the settings the application keeps, and g_nWindowKind, as at a first start.
void ResetApplicationState();
void ProcessDeferredDeletes();
