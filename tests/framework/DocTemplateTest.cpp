#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>

#include "FrameworkTestSupport.h"
#include "base/MessageBox.h"
#include "support/TestEnvironment.h"

using namespace fwtest;

namespace {

using DocTemplateTest = FrameworkTest;

TEST_F(DocTemplateTest, NewDocumentBuildsFrameAndViewInsideTheCall)
{
    CDocTemplate* docTemplate = AddTemplate();
    record().frameWidth = 333;
    record().frameHeight = 222;
    g_probe = 7;
    CDocument* document = docTemplate->OpenDocumentFile(nullptr, true);
    g_probe = 0;

    ASSERT_NE(document, nullptr);
    EXPECT_EQ(record().probeSeenByFrame, 7);
    EXPECT_EQ(record().probeSeenByView, 7);
    EXPECT_TRUE(record().viewSawPublishedContext);
    EXPECT_FALSE(record().viewSawOpeningPath);
    EXPECT_EQ(CDocTemplate::CurrentCreateContext(), nullptr);
    EXPECT_EQ(record().events, (std::vector<std::string>{"create", "new", "initial"}));

    ASSERT_EQ(SubWindows().size(), 1u);
    auto* frame = m_frame->MDIGetActive();
    ASSERT_NE(frame, nullptr);
    EXPECT_TRUE(frame->isVisible());
    EXPECT_EQ(frame->size(), QSize(333, 222));
    EXPECT_EQ(frame->GetActiveDocument(), document);
    EXPECT_EQ(frame->GetDocTemplate(), docTemplate);
    ASSERT_EQ(document->GetViews().size(), 1u);
    EXPECT_EQ(document->GetViews()[0]->GetParentFrame(), frame);
}

TEST_F(DocTemplateTest, DefaultTitlesNumberTheDocumentName)
{
    CDocTemplate* named = AddTemplate("\nQuorelle\nQuorelle\n\n\nQuorelle.Document\nQuorelle.Document");
    CDocTemplate* unnamed = AddTemplate("");
    EXPECT_EQ(named->GetDocString(CDocTemplate::docName), "Quorelle");
    EXPECT_EQ(named->GetDocString(CDocTemplate::regFileTypeName), "Quorelle.Document");
    EXPECT_EQ(named->OpenDocumentFile(nullptr)->GetTitle(), "Quorelle1");
    EXPECT_EQ(named->OpenDocumentFile(nullptr)->GetTitle(), "Quorelle2");
    EXPECT_EQ(unnamed->OpenDocumentFile(nullptr)->GetTitle(), "Untitled");
    EXPECT_EQ(m_frame->MDIGetActive()->windowTitle(), "Untitled");
}

TEST_F(DocTemplateTest, FrameWithoutSizeGetsTheFrameworkDefault)
{
    CDocTemplate* docTemplate = AddTemplate();
    ASSERT_NE(docTemplate->OpenDocumentFile(nullptr), nullptr);
    EXPECT_EQ(m_frame->MDIGetActive()->size(), CMDIChildWnd::DefaultSize(m_frame->MdiArea()));
}

TEST_F(DocTemplateTest, InvisibleDocumentKeepsItsFrameHidden)
{
    CDocTemplate* docTemplate = AddTemplate();
    CDocument* document = docTemplate->OpenDocumentFile(nullptr, false);
    ASSERT_NE(document, nullptr);
    ASSERT_EQ(SubWindows().size(), 1u);
    EXPECT_FALSE(SubWindows()[0]->isVisible());
    EXPECT_EQ(record().events.back(), "initial");
}

TEST_F(DocTemplateTest, RefusedPathDiscardsDocumentFrameAndView)
{
    CDocTemplate* docTemplate = AddTemplate();
    record().openResult = false;
    std::string path = "Acme Corp (NYSE, ACME)";
    EXPECT_EQ(docTemplate->OpenDocumentFile(&path, true), nullptr);

    EXPECT_EQ(record().openedPaths, (std::vector<std::string>{path}));
    EXPECT_TRUE(record().viewSawOpeningPath);
    EXPECT_TRUE(SubWindows().empty());
    EXPECT_EQ(record().viewsDestroyed, 1);
    EXPECT_EQ(record().docsDestroyed, 1);
    EXPECT_TRUE(docTemplate->GetDocuments().empty());
    // No initial update for a discarded view.
    EXPECT_EQ(record().events, (std::vector<std::string>{"create", "open"}));
}

TEST_F(DocTemplateTest, AcceptedPathKeepsTheDocumentTitledByTheFileName)
{
    CDocTemplate* docTemplate = AddTemplate();
    m_app->LoadStdProfileSettings(4);
    std::string path = "/tmp/somewhere/report.txt";
    CDocument* document = docTemplate->OpenDocumentFile(&path, true);
    ASSERT_NE(document, nullptr);
    EXPECT_EQ(document->GetTitle(), "report.txt");
    EXPECT_EQ(document->GetPathName(), path);
    EXPECT_EQ(m_app->GetRecentFileList()->Entries(), (std::vector<std::string>{path}));
}

TEST_F(DocTemplateTest, OpeningAnotherDocumentFromOnOpenDocumentLeavesOneNewWindow)
{
    CDocTemplate* docTemplate = AddTemplate();
    record().openResult = false;
    CDocument* inner = nullptr;
    record().onOpen = [&](const std::string&) {
        // As a document that turns a path into another window does.
        inner = docTemplate->OpenDocumentFile(nullptr, true);
    };
    std::string path = "x";
    EXPECT_EQ(docTemplate->OpenDocumentFile(&path, true), nullptr);
    ASSERT_NE(inner, nullptr);
    ASSERT_EQ(SubWindows().size(), 1u);
    EXPECT_EQ(m_frame->GetActiveDocument(), inner);
    EXPECT_EQ(docTemplate->GetDocuments(), (std::vector<CDocument*>{inner}));
}

TEST_F(DocTemplateTest, ViewThatFailsToCreateGivesNoDocumentAndAMessage)
{
    testing_support::MessageRecorder messages;
    CDocTemplate* docTemplate = AddTemplate();
    record().createResult = -1;
    EXPECT_EQ(docTemplate->OpenDocumentFile(nullptr, true), nullptr);
    EXPECT_EQ(messages.messages(), (std::vector<std::string>{"Failed to create empty document."}));
    EXPECT_TRUE(SubWindows().empty());
    EXPECT_EQ(record().docsDestroyed, 1);
    EXPECT_EQ(record().viewsDestroyed, 1);
}

TEST_F(DocTemplateTest, RefusedNewDocumentGivesNothingAndKeepsTheTitleCount)
{
    CDocTemplate* docTemplate = AddTemplate("\nDoc\nDoc");
    record().newResult = false;
    EXPECT_EQ(docTemplate->OpenDocumentFile(nullptr), nullptr);
    EXPECT_TRUE(SubWindows().empty());
    record().newResult = true;
    EXPECT_EQ(docTemplate->OpenDocumentFile(nullptr)->GetTitle(), "Doc1");
}

TEST_F(DocTemplateTest, UpdateAllViewsSkipsTheSenderAndPassesTheHint)
{
    CDocTemplate* docTemplate = AddTemplate();
    CDocument* document = docTemplate->OpenDocumentFile(nullptr);
    ASSERT_TRUE(m_frame->SendCommand(ID_WINDOW_NEW));
    ASSERT_EQ(document->GetViews().size(), 2u);
    auto* first = dynamic_cast<TestView*>(document->GetViews()[0]);
    auto* second = dynamic_cast<TestView*>(document->GetViews()[1]);
    first->updates.clear();
    second->updates.clear();

    document->UpdateAllViews(first, 42);
    EXPECT_TRUE(first->updates.empty());
    ASSERT_EQ(second->updates.size(), 1u);
    EXPECT_EQ(second->updates[0], (std::pair<CView*, long>(first, 42)));

    document->UpdateAllViews(nullptr, 0);
    EXPECT_EQ(first->updates.size(), 1u);
    EXPECT_EQ(second->updates.size(), 2u);
}

TEST_F(DocTemplateTest, TitleAppearsInFrameCaptionsAndTheMainCaption)
{
    CDocTemplate* docTemplate = AddTemplate();
    EXPECT_EQ(m_frame->windowTitle(), "Main");
    CDocument* document = docTemplate->OpenDocumentFile(nullptr);
    document->SetTitle("NASDAQ");
    EXPECT_EQ(m_frame->MDIGetActive()->windowTitle(), "NASDAQ");
    EXPECT_EQ(m_frame->windowTitle(), "Main - NASDAQ");

    ASSERT_TRUE(m_frame->SendCommand(ID_WINDOW_NEW));
    std::vector<QString> captions;
    for (CMDIChildWnd* frame : document->GetFrames())
        captions.push_back(frame->windowTitle());
    EXPECT_EQ(captions, (std::vector<QString>{"NASDAQ:1", "NASDAQ:2"}));
    EXPECT_EQ(m_frame->windowTitle(), "Main - NASDAQ:2");
}

TEST_F(DocTemplateTest, DocumentGoesWithItsLastClosedFrame)
{
    CDocTemplate* docTemplate = AddTemplate();
    CDocument* document = docTemplate->OpenDocumentFile(nullptr);
    ASSERT_TRUE(m_frame->SendCommand(ID_WINDOW_NEW));
    std::vector<CMDIChildWnd*> frames = document->GetFrames();
    ASSERT_EQ(frames.size(), 2u);

    frames[0]->close();
    ProcessDeferredDeletes();
    EXPECT_EQ(record().viewsDestroyed, 1);
    EXPECT_EQ(record().docsDestroyed, 0);
    EXPECT_EQ(document->GetFrames().front()->windowTitle(), "Test1");

    frames[1]->close();
    ProcessDeferredDeletes();
    EXPECT_EQ(record().docsDestroyed, 1);
    EXPECT_TRUE(docTemplate->GetDocuments().empty());
    EXPECT_EQ(m_frame->windowTitle(), "Main");
}

TEST_F(DocTemplateTest, CloseCommandClosesEveryWindowOfTheDocumentAtOnce)
{
    CDocTemplate* docTemplate = AddTemplate();
    CDocument* other = docTemplate->OpenDocumentFile(nullptr);
    docTemplate->OpenDocumentFile(nullptr);
    ASSERT_TRUE(m_frame->SendCommand(ID_WINDOW_NEW));
    ASSERT_EQ(SubWindows().size(), 3u);

    ASSERT_TRUE(m_frame->SendCommand(ID_FILE_CLOSE));
    EXPECT_EQ(record().viewsDestroyed, 2);
    EXPECT_EQ(record().docsDestroyed, 1);
    EXPECT_EQ(docTemplate->GetDocuments(), (std::vector<CDocument*>{other}));
    EXPECT_EQ(SubWindows().size(), 1u);
}

TEST_F(DocTemplateTest, SaveWritesAnEmptyFileAndReportsAFailure)
{
    testing_support::TempDir dir;
    auto existing = dir.write("saved.txt", "old contents");
    CDocTemplate* docTemplate = AddTemplate();
    CDocument* document = docTemplate->OpenDocumentFile(nullptr);
    EXPECT_TRUE(document->OnSaveDocument(existing.string()));
    EXPECT_EQ(std::filesystem::file_size(existing), 0u);

    testing_support::MessageRecorder messages;
    std::string bad = (dir.path() / "missing" / "x.txt").string();
    EXPECT_FALSE(document->OnSaveDocument(bad));
    ASSERT_EQ(messages.messages().size(), 1u);
    EXPECT_NE(messages.messages()[0].find(bad), std::string::npos);
}

}  // namespace
