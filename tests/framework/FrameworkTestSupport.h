#pragma once

#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include <QWidget>
#include <gtest/gtest.h>

#include "framework/CommandIds.h"
#include "framework/DocTemplate.h"
#include "framework/Document.h"
#include "framework/MDIChildWnd.h"
#include "framework/MDIFrameWnd.h"
#include "framework/View.h"
#include "framework/WinApp.h"

// Small document, frame and view classes that record what the framework does
// to them, and a fixture with an application object and a shown main frame.
namespace fwtest {

inline constexpr int kViewCommand = 40001;
inline constexpr int kSharedCommand = 40002;
inline constexpr int kFrameCommand = 40003;
inline constexpr int kNobodysCommand = 40004;

// Set by a test just before it asks a template for a document; the frame and
// view record what they saw while they were built.
extern int g_probe;

struct Record {
    int docsDestroyed = 0;
    int viewsConstructed = 0;
    int viewsDestroyed = 0;
    int probeSeenByFrame = -1;
    int probeSeenByView = -1;
    bool viewSawOpeningPath = false;
    bool viewSawPublishedContext = false;
    std::vector<std::string> events;
    std::vector<std::string> openedPaths;
    bool newResult = true;
    bool openResult = true;
    int createResult = 0;
    int frameWidth = 0;
    int frameHeight = 0;
    std::function<void(const std::string&)> onOpen;
};
Record& record();

class TestDoc : public CDocument {
public:
    ~TestDoc() override { ++record().docsDestroyed; }
    bool OnNewDocument() override;
    bool OnOpenDocument(const std::string& path) override;
};

class TestView : public QWidget, public CView {
public:
    explicit TestView(const CCreateContext& context);
    ~TestView() override;
    int OnCreate() override;
    void OnInitialUpdate() override;
    void OnUpdate(CView* sender, long hint) override;
    bool HandlesCommand(int id) const override { return id == kViewCommand || id == kSharedCommand; }
    void OnUpdateCommand(int id, CCmdUI& ui) override { ui.enabled = !(id == kViewCommand && disableOwnCommand); }
    void OnCommand(int id) override { commands.push_back(id); }

    std::vector<std::pair<CView*, long>> updates;
    std::vector<int> commands;
    bool disableOwnCommand = false;
};

class TestFrame : public CMDIChildWnd {
public:
    bool PreCreateWindow(CFrameCreateStruct& cs) override;
};

class TestMainFrame : public CMDIFrameWnd {
public:
    bool HandlesCommand(int id) const override
    {
        return id == kFrameCommand || id == kSharedCommand || CMDIFrameWnd::HandlesCommand(id);
    }
    void OnCommand(int id) override
    {
        if (id == kFrameCommand || id == kSharedCommand)
            commands.push_back(id);
        else
            CMDIFrameWnd::OnCommand(id);
    }
    std::vector<int> commands;
};

class FrameworkTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // A template of the test classes; docStrings as a document type's.
    CDocTemplate* AddTemplate(const std::string& docStrings = "\nTest\nTest", int menuId = 0);
    std::vector<QWidget*> SubWindows() const;
    static void ProcessDeferredDeletes();

    std::unique_ptr<CWinApp> m_app;
    TestMainFrame* m_frame = nullptr;
};

}  // namespace fwtest
