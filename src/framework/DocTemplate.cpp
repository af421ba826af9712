#include "framework/DocTemplate.h"

#include <algorithm>
#include <utility>

#include <QMdiArea>
#include <QPointer>

#include "framework/Document.h"
#include "framework/MDIChildWnd.h"
#include "framework/MDIFrameWnd.h"
#include "base/MessageBox.h"
#include "framework/View.h"
#include "framework/WinApp.h"

namespace {
const CCreateContext* g_pCurrentContext = nullptr;

// Publishes the creation context for the frame and view built in its scope.
class ContextScope {
public:
    explicit ContextScope(const CCreateContext& context) : m_previous(g_pCurrentContext)
    {
        g_pCurrentContext = &context;
    }
    ~ContextScope() { g_pCurrentContext = m_previous; }
    ContextScope(const ContextScope&) = delete;
    ContextScope& operator=(const ContextScope&) = delete;

private:
    const CCreateContext* m_previous;
};

// Keeps a document from destroying itself while its template builds or
// discards its windows.
class HoldDocument {
public:
    explicit HoldDocument(CDocument* document) : m_document(document), m_autoDelete(document->m_bAutoDelete)
    {
        document->m_bAutoDelete = false;
    }
    ~HoldDocument()
    {
        if (m_document)
            m_document->m_bAutoDelete = m_autoDelete;
    }
    HoldDocument(const HoldDocument&) = delete;
    HoldDocument& operator=(const HoldDocument&) = delete;

private:
    QPointer<CDocument> m_document;
    bool m_autoDelete;
};
}  // namespace

CDocTemplate::CDocTemplate(int resourceId, std::string docStrings, int menuId, DocumentFactory makeDocument,
                           FrameFactory makeFrame, ViewFactory makeView)
    : m_nResourceId(resourceId),
      m_strDocStrings(std::move(docStrings)),
      m_nMenuId(menuId),
      m_makeDocument(std::move(makeDocument)),
      m_makeFrame(std::move(makeFrame)),
      m_makeView(std::move(makeView))
{
}

CDocTemplate::~CDocTemplate()
{
    CloseAllDocuments();
    // Documents whose windows are gone already, or that never had any.
    for (auto& document : m_documents)
        document->m_pDocTemplate = nullptr;
    m_documents.clear();
}

const CCreateContext* CDocTemplate::CurrentCreateContext()
{
    return g_pCurrentContext;
}

std::string CDocTemplate::GetDocString(DocStringIndex index) const
{
    std::size_t start = 0;
    for (int field = 0; field < index; ++field) {
        std::size_t next = m_strDocStrings.find('\n', start);
        if (next == std::string::npos)
            return {};
        start = next + 1;
    }
    std::size_t end = m_strDocStrings.find('\n', start);
    return m_strDocStrings.substr(start, end == std::string::npos ? std::string::npos : end - start);
}

void CDocTemplate::SetDefaultTitle(CDocument* document)
{
    std::string name = GetDocString(docName);
    if (name.empty())
        document->SetTitle("Untitled");
    else
        document->SetTitle(name + std::to_string(m_nUntitledCount + 1));
}

QMdiArea* CDocTemplate::GetMdiArea() const
{
    if (m_pMdiArea)
        return m_pMdiArea;
    CWinApp* app = CWinApp::GetApp();
    CMDIFrameWnd* mainFrame = app ? app->GetMainWnd() : nullptr;
    return mainFrame ? mainFrame->MdiArea() : nullptr;
}

std::vector<CDocument*> CDocTemplate::GetDocuments() const
{
    std::vector<CDocument*> documents;
    for (const auto& document : m_documents)
        documents.push_back(document.get());
    return documents;
}

void CDocTemplate::CloseAllDocuments()
{
    for (CDocument* document : GetDocuments()) {
        auto stillHere = [this, document] {
            return std::any_of(m_documents.begin(), m_documents.end(),
                               [document](const auto& d) { return d.get() == document; });
        };
        if (stillHere())
            document->OnCloseDocument();
        // A document without views is not destroyed by closing it.
        if (stillHere() && document->GetViews().empty())
            RemoveDocument(document);
    }
}

void CDocTemplate::RemoveDocument(CDocument* document)
{
    auto it = std::find_if(m_documents.begin(), m_documents.end(),
                           [document](const auto& d) { return d.get() == document; });
    if (it == m_documents.end())
        return;
    // Take it out of the list before it is destroyed: its destructor may
    // run code that looks at the list.
    std::unique_ptr<CDocument> owned = std::move(*it);
    m_documents.erase(it);
    owned->m_pDocTemplate = nullptr;
}

CMDIChildWnd* CDocTemplate::CreateNewFrame(CDocument* document, const CCreateContext& context)
{
    QMdiArea* area = GetMdiArea();
    if (!area || !document)
        return nullptr;
    ContextScope scope(context);

    std::unique_ptr<CMDIChildWnd> frame(m_makeFrame());
    if (!frame)
        return nullptr;
    frame->m_pDocTemplate = this;
    CFrameCreateStruct cs;
    if (!frame->PreCreateWindow(cs))
        return nullptr;
    if (!m_icon.isNull())
        frame->setWindowIcon(m_icon);

    // A view may show a message while it is made (a list that cannot be
    // read), and the document may be closed in that box's event loop.
    const QPointer<CDocument> documentAlive(document);
    QWidget* viewWidget = m_makeView(context);
    CView* view = dynamic_cast<CView*>(viewWidget);
    if (!view || !documentAlive) {
        delete viewWidget;
        return nullptr;
    }
    frame->setWidget(viewWidget);
    document->AddView(view);

    // The frame's size is given before it is placed, so that the area's
    // placement of the new window starts from it.
    QSize fallback = CMDIChildWnd::DefaultSize(area);
    frame->resize(cs.cx > 0 ? cs.cx : fallback.width(), cs.cy > 0 ? cs.cy : fallback.height());
    CMDIChildWnd* placed = frame.release();
    area->addSubWindow(placed);
    placed->hide();

    // OnCreate may run the event loop (a message box), in which the new
    // window can be closed with its document: then there is no frame to give.
    const QPointer<CMDIChildWnd> alive(placed);
    const int created = view->OnCreate();
    if (!alive)
        return nullptr;
    if (created == -1) {
        delete placed;
        return nullptr;
    }
    return placed;
}

void CDocTemplate::InitialUpdateFrame(CMDIChildWnd* frame, CDocument* document, bool visible)
{
    QPointer<CMDIChildWnd> guard(frame);
    if (CView* view = frame->GetActiveView())
        view->OnInitialUpdate();
    if (!guard)
        return;
    document->UpdateFrameCounts();
    if (visible) {
        frame->show();
        if (QMdiArea* area = frame->mdiArea())
            area->setActiveSubWindow(frame);
    }
}

CDocument* CDocTemplate::OpenDocumentFile(const std::string* path, bool visible)
{
    std::unique_ptr<CDocument> made = m_makeDocument();
    if (!made)
        return nullptr;
    CDocument* document = made.get();
    document->m_pDocTemplate = this;
    m_documents.push_back(std::move(made));
    QPointer<CDocument> alive(document);
    QPointer<CMDIChildWnd> frame;
    {
        HoldDocument hold(document);
        CCreateContext context;
        context.m_pNewDocTemplate = this;
        context.m_pCurrentDoc = document;
        context.m_bOpeningPath = path != nullptr;
        frame = CreateNewFrame(document, context);
        // Closed while its window was being made (Exit in a message box):
        // nothing failed that the user should hear of.
        if (!alive)
            return nullptr;
        if (!frame) {
            ShowMessage("Failed to create empty document.");
            RemoveDocument(document);
            return nullptr;
        }
        bool ok;
        if (path) {
            ok = document->OnOpenDocument(*path);
        } else {
            SetDefaultTitle(document);
            ok = document->OnNewDocument();
        }
        if (!alive)
            return nullptr;
        if (!ok) {
            delete frame.data();
            RemoveDocument(document);
            return nullptr;
        }
        if (path)
            document->SetPathName(*path);
        else
            ++m_nUntitledCount;
    }
    if (!frame) {
        // The window went while the document was being read; the document
        // goes with it.
        if (alive && document->GetViews().empty())
            RemoveDocument(document);
        return nullptr;
    }
    InitialUpdateFrame(frame, document, visible);
    return alive ? document : nullptr;
}
