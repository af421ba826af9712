#pragma once

#include <string>
#include <vector>

#include <QObject>

#include "framework/CommandTarget.h"

class CDocTemplate;
class CMDIChildWnd;
class CView;

// A document: the data that one or more views show. Documents are made by
// their template (CDocTemplate::OpenDocumentFile), which owns them; a
// document is destroyed when its last view goes (its last frame closes).
//
// On the command route a document handles Close (closes it with all its
// windows) and Save (writes the document to a file the user picks).
class CDocument : public QObject, public CCmdTarget {
    Q_OBJECT

public:
    CDocument();
    ~CDocument() override;
    CDocument(const CDocument&) = delete;
    CDocument& operator=(const CDocument&) = delete;

    // The title shown in the captions of the document's frames ("title", or
    // "title:1", "title:2" ... while it has several) and, while one of them
    // is active, in the main frame's caption.
    const std::string& GetTitle() const { return m_strTitle; }
    virtual void SetTitle(const std::string& title);

    // The path the document was opened from; empty for a new document.
    const std::string& GetPathName() const { return m_strPathName; }
    // Sets the path and takes the title from its file name. With addToRecent
    // the path also goes to the application's recent-file list.
    virtual void SetPathName(const std::string& path, bool addToRecent = true);

    CDocTemplate* GetDocTemplate() const { return m_pDocTemplate; }

    // The views, in the order they were added.
    const std::vector<CView*>& GetViews() const { return m_viewList; }
    // The frames that hold the views, in the same order.
    std::vector<CMDIChildWnd*> GetFrames() const;
    void AddView(CView* view);
    // Removes the view; when the last view goes and the document deletes
    // itself (m_bAutoDelete), the template destroys the document.
    void RemoveView(CView* view);

    // Calls OnUpdate(sender, hint) of every view but the sender.
    void UpdateAllViews(CView* sender, long hint = 0);

    // Recomputes the captions of the document's frames from the title.
    void UpdateFrameCounts();

    // A new, empty document. The base does nothing and succeeds.
    virtual bool OnNewDocument();
    // Opening a path. The base reads nothing and succeeds; a false result
    // makes the template discard the document and its windows.
    virtual bool OnOpenDocument(const std::string& path);
    // Writes the document to the path: the base writes an empty file (a
    // document keeps no contents of its own unless a subclass says so).
    // Reports a failure in a message and returns false.
    virtual bool OnSaveDocument(const std::string& path);
    // Closes every frame of the document; the document is destroyed with
    // the last of them (when m_bAutoDelete is set).
    virtual void OnCloseDocument();

    bool HandlesCommand(int id) const override;
    void OnCommand(int id) override;

    // Whether the document is destroyed with its last view.
    bool m_bAutoDelete = true;

signals:
    void titleChanged();

protected:
    // Save: asks for a file name, then OnSaveDocument.
    void OnFileSave();

private:
    friend class CDocTemplate;

    std::string m_strTitle;
    std::string m_strPathName;
    CDocTemplate* m_pDocTemplate = nullptr;
    std::vector<CView*> m_viewList;
};
