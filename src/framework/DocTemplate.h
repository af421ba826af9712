#pragma once

#include <functional>
#include <memory>
#include <string>
#include <type_traits>
#include <vector>

#include <QIcon>
#include <QMdiArea>
#include <QPointer>

class CDocument;
class CMDIChildWnd;
class CView;
class QWidget;

// What the template tells the frame and view it is creating.
struct CCreateContext {
    class CDocTemplate* m_pNewDocTemplate = nullptr;
    CDocument* m_pCurrentDoc = nullptr;
    // True while the template opens a path: the view made for it is
    // discarded when the document refuses the path, so it must stay inert.
    bool m_bOpeningPath = false;
};

// A document template pairs a document class with a child-frame class and a
// view class, like a registered document type. OpenDocumentFile creates the
// three synchronously inside the call, so process-wide values set just before
// the call are seen by the frame's PreCreateWindow and by the view's
// constructor and OnCreate.
class CDocTemplate {
public:
    using DocumentFactory = std::function<std::unique_ptr<CDocument>()>;
    using FrameFactory = std::function<CMDIChildWnd*()>;
    // Returns a parentless widget that implements CView.
    using ViewFactory = std::function<QWidget*(const CCreateContext&)>;

    // Fields of the document-type string, separated by line feeds.
    enum DocStringIndex { windowTitle, docName, fileNewName, filterName, filterExt, regFileTypeId, regFileTypeName };

    // resourceId names the type; docStrings holds the seven fields above
    // (may be empty); menuId is the menu the main frame shows while one of
    // its windows is active (0: the main frame's own menu).
    CDocTemplate(int resourceId, std::string docStrings, int menuId, DocumentFactory makeDocument,
                 FrameFactory makeFrame, ViewFactory makeView);
    ~CDocTemplate();
    CDocTemplate(const CDocTemplate&) = delete;
    CDocTemplate& operator=(const CDocTemplate&) = delete;

    // Factories for the usual case: default-constructed classes (a view
    // class may take the creation context instead).
    template <class D>
    static DocumentFactory DocumentClass()
    {
        return [] { return std::unique_ptr<CDocument>(std::make_unique<D>()); };
    }
    template <class F>
    static FrameFactory FrameClass()
    {
        return []() -> CMDIChildWnd* { return new F(); };
    }
    template <class V>
    static ViewFactory ViewClass()
    {
        return [](const CCreateContext& context) -> QWidget* {
            if constexpr (std::is_constructible_v<V, const CCreateContext&>)
                return new V(context);
            else {
                (void)context;
                return new V();
            }
        };
    }

    // Creates a document with its frame and view. Without a path the
    // document gets its default title and OnNewDocument; with a path,
    // OnOpenDocument, and a false result destroys document, frame and view
    // again. Then the view's OnInitialUpdate runs and, when visible, the
    // frame is shown and activated. Returns the document or null.
    CDocument* OpenDocumentFile(const std::string* path, bool visible = true);

    // Creates a frame with a view of the document (also used for another
    // window of an open document). Null when the frame or view refused.
    CMDIChildWnd* CreateNewFrame(CDocument* document, const CCreateContext& context);
    // First update of a new frame's view, then show and activate it.
    void InitialUpdateFrame(CMDIChildWnd* frame, CDocument* document, bool visible);

    // "<document name><n>" for a type with a document name, else "Untitled".
    void SetDefaultTitle(CDocument* document);
    std::string GetDocString(DocStringIndex index) const;

    int GetResourceId() const { return m_nResourceId; }
    int GetMenuId() const { return m_nMenuId; }
    void SetIcon(const QIcon& icon) { m_icon = icon; }
    const QIcon& GetIcon() const { return m_icon; }

    // The area new frames go to; by default the application's main frame's.
    void SetMdiArea(QMdiArea* area) { m_pMdiArea = area; }
    QMdiArea* GetMdiArea() const;

    std::vector<CDocument*> GetDocuments() const;
    // Closes every document of this template with its windows.
    void CloseAllDocuments();
    // Destroys the document (called when its last view goes).
    void RemoveDocument(CDocument* document);

    // The context of the frame and view being created right now, or null.
    static const CCreateContext* CurrentCreateContext();

private:
    int m_nResourceId;
    std::string m_strDocStrings;
    int m_nMenuId;
    DocumentFactory m_makeDocument;
    FrameFactory m_makeFrame;
    ViewFactory m_makeView;
    QIcon m_icon;
    QPointer<QMdiArea> m_pMdiArea;
    int m_nUntitledCount = 0;
    std::vector<std::unique_ptr<CDocument>> m_documents;
};
