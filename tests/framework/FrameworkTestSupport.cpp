#include "FrameworkTestSupport.h"

#include <QCoreApplication>
#include <QEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QSettings>

namespace fwtest {

int g_probe = 0;

Record& record()
{
    static Record r;
    return r;
}

bool TestDoc::OnNewDocument()
{
    record().events.push_back("new");
    return record().newResult;
}

bool TestDoc::OnOpenDocument(const std::string& path)
{
    record().events.push_back("open");
    record().openedPaths.push_back(path);
    if (record().onOpen)
        record().onOpen(path);
    return record().openResult;
}

TestView::TestView(const CCreateContext& context)
{
    ++record().viewsConstructed;
    record().probeSeenByView = g_probe;
    record().viewSawOpeningPath = context.m_bOpeningPath;
    record().viewSawPublishedContext = CDocTemplate::CurrentCreateContext() == &context;
}

TestView::~TestView()
{
    ++record().viewsDestroyed;
}

int TestView::OnCreate()
{
    record().events.push_back("create");
    return record().createResult;
}

void TestView::OnInitialUpdate()
{
    record().events.push_back("initial");
}

void TestView::OnUpdate(CView* sender, long hint)
{
    updates.emplace_back(sender, hint);
}

bool TestFrame::PreCreateWindow(CFrameCreateStruct& cs)
{
    record().probeSeenByFrame = g_probe;
    cs.cx = record().frameWidth;
    cs.cy = record().frameHeight;
    return true;
}

void FrameworkTest::SetUp()
{
    record() = Record();
    g_probe = 0;
    QSettings("Dorvane", "FrameworkTest").clear();
    m_app = std::make_unique<CWinApp>("FrameworkTest");
    m_app->SetRegistryKey("Dorvane");
    auto frame = std::make_unique<TestMainFrame>();
    m_frame = frame.get();
    m_frame->SetBaseTitle("Main");
    m_app->SetMainWnd(std::move(frame));
    m_frame->resize(900, 700);
    m_frame->show();
}

void FrameworkTest::TearDown()
{
    m_app.reset();
    ProcessDeferredDeletes();
}

CDocTemplate* FrameworkTest::AddTemplate(const std::string& docStrings, int menuId)
{
    return m_app->AddDocTemplate(std::make_unique<CDocTemplate>(
        1000 + static_cast<int>(m_app->GetDocTemplates().size()), docStrings, menuId,
        CDocTemplate::DocumentClass<TestDoc>(), CDocTemplate::FrameClass<TestFrame>(),
        CDocTemplate::ViewClass<TestView>()));
}

std::vector<QWidget*> FrameworkTest::SubWindows() const
{
    std::vector<QWidget*> windows;
    for (QMdiSubWindow* window : m_frame->MdiArea()->subWindowList())
        windows.push_back(window);
    return windows;
}

void FrameworkTest::ProcessDeferredDeletes()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

}  // namespace fwtest
