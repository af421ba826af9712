#include "framework/Document.h"

#include <algorithm>
#include <cstdio>

#include <QFileDialog>
#include <QPointer>

#include "framework/CommandIds.h"
#include "framework/DocTemplate.h"
#include "framework/MDIChildWnd.h"
#include "framework/MDIFrameWnd.h"
#include "base/MessageBox.h"
#include "base/QtText.h"
#include "framework/View.h"
#include "framework/WinApp.h"
#include "base/CText.h"

CDocument::CDocument() = default;

CDocument::~CDocument()
{
    // Views that outlive their document (only possible when the document
    // was destroyed by its owner directly) must not call back into it.
    for (CView* view : m_viewList)
        view->m_pDocument = nullptr;
}

void CDocument::SetTitle(const std::string& title)
{
    m_strTitle = title;
    UpdateFrameCounts();
    emit titleChanged();
}

void CDocument::SetPathName(const std::string& path, bool addToRecent)
{
    m_strPathName = path;
    std::size_t slash = path.find_last_of("/\\");
    SetTitle(slash == std::string::npos ? path : path.substr(slash + 1));
    if (addToRecent) {
        if (CWinApp* app = CWinApp::GetApp())
            app->AddToRecentFileList(path);
    }
}

std::vector<CMDIChildWnd*> CDocument::GetFrames() const
{
    std::vector<CMDIChildWnd*> frames;
    for (CView* view : m_viewList) {
        CMDIChildWnd* frame = view->GetParentFrame();
        if (frame && std::find(frames.begin(), frames.end(), frame) == frames.end())
            frames.push_back(frame);
    }
    return frames;
}

void CDocument::AddView(CView* view)
{
    if (!view || std::find(m_viewList.begin(), m_viewList.end(), view) != m_viewList.end())
        return;
    if (view->m_pDocument && view->m_pDocument != this)
        view->m_pDocument->RemoveView(view);
    m_viewList.push_back(view);
    view->m_pDocument = this;
    UpdateFrameCounts();
}

void CDocument::RemoveView(CView* view)
{
    auto it = std::find(m_viewList.begin(), m_viewList.end(), view);
    if (it == m_viewList.end())
        return;
    m_viewList.erase(it);
    view->m_pDocument = nullptr;
    if (m_viewList.empty() && m_bAutoDelete && m_pDocTemplate) {
        // Last statement: the template destroys this document.
        m_pDocTemplate->RemoveDocument(this);
        return;
    }
    UpdateFrameCounts();
}

void CDocument::UpdateAllViews(CView* sender, long hint)
{
    // Copy: a view's update may add or remove views.
    std::vector<CView*> views = m_viewList;
    for (CView* view : views) {
        if (view != sender && std::find(m_viewList.begin(), m_viewList.end(), view) != m_viewList.end())
            view->OnUpdate(sender, hint);
    }
}

void CDocument::UpdateFrameCounts()
{
    std::vector<CMDIChildWnd*> frames = GetFrames();
    QString title = ToQString(m_strTitle);
    if (frames.size() == 1) {
        frames.front()->setWindowTitle(title);
        return;
    }
    int number = 1;
    for (CMDIChildWnd* frame : frames)
        frame->setWindowTitle(title + QStringLiteral(":%1").arg(number++));
}

bool CDocument::OnNewDocument()
{
    return true;
}

bool CDocument::OnOpenDocument(const std::string& path)
{
    (void)path;
    return true;
}

bool CDocument::OnSaveDocument(const std::string& path)
{
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file || std::fclose(file) != 0) {
        ShowMessage(FormatC("Can not save the document to \"%s\".", path.c_str()));
        return false;
    }
    return true;
}

void CDocument::OnCloseDocument()
{
    // Keep the document alive until every frame is gone, then let the
    // template destroy it: nothing of this object is touched afterwards.
    std::vector<QPointer<CMDIChildWnd>> frames;
    for (CMDIChildWnd* frame : GetFrames())
        frames.emplace_back(frame);
    bool autoDelete = m_bAutoDelete;
    m_bAutoDelete = false;
    for (auto& frame : frames)
        delete frame.data();
    m_bAutoDelete = autoDelete;
    if (m_bAutoDelete && m_viewList.empty() && m_pDocTemplate)
        m_pDocTemplate->RemoveDocument(this);
}

bool CDocument::HandlesCommand(int id) const
{
    return id == ID_FILE_CLOSE || id == ID_FILE_SAVE;
}

void CDocument::OnCommand(int id)
{
    if (id == ID_FILE_CLOSE)
        OnCloseDocument();
    else if (id == ID_FILE_SAVE)
        OnFileSave();
}

void CDocument::OnFileSave()
{
    QWidget* parent = nullptr;
    if (CWinApp* app = CWinApp::GetApp())
        parent = app->GetMainWnd();
    QString suggested = ToQString(m_strPathName.empty() ? m_strTitle : m_strPathName);
    QString path = QFileDialog::getSaveFileName(parent, QStringLiteral("Save As"), suggested);
    if (path.isEmpty())
        return;
    std::string chosen = FromQString(path);
    if (OnSaveDocument(chosen))
        m_strPathName = chosen;
}
