#pragma once

#include <QRect>

#include "framework/CommandTarget.h"

class CDocument;
class CMDIChildWnd;
class QPainter;
class QPrinter;
class QWidget;

// What a print job tells the view's printing hooks.
struct CPrintInfo {
    QPrinter* m_pPrinter = nullptr;
    bool m_bPreview = false;  // drawing into the print preview
    bool m_bDirect = false;   // printing without the print dialog
    int m_nMinPage = 1;
    int m_nMaxPage = 1;
    int m_nCurPage = 1;
    QRect m_rectDraw;  // printable area of the page, in device pixels
};

// The interface every view implements next to its Qt widget class:
//
//     class CMyView : public QWidget, public CView { Q_OBJECT ... };
//
// The document template constructs the view, adds it to its document,
// puts it into its child frame and calls OnCreate, then (for a new or
// opened document) OnInitialUpdate. A view is on the command route first.
class CView : public CCmdTarget {
public:
    CView() = default;
    ~CView() override;
    CView(const CView&) = delete;
    CView& operator=(const CView&) = delete;

    CDocument* GetDocument() const { return m_pDocument; }
    // The child frame that holds the view (null before it is placed in one).
    CMDIChildWnd* GetParentFrame() const;
    // The view's own widget.
    QWidget* GetWidget();
    const QWidget* GetWidget() const;

    // Creation, inside the template's call: the document and frame are
    // known. Returns 0, or -1 to make the template give up the window.
    virtual int OnCreate() { return 0; }
    // First update after the document is ready; the base calls OnUpdate.
    virtual void OnInitialUpdate() { OnUpdate(nullptr, 0); }
    // The document changed (UpdateAllViews); the base repaints the view.
    virtual void OnUpdate(CView* sender, long hint);

    // Drawing for printing and print preview.
    virtual void OnDraw(QPainter& painter) { (void)painter; }
    // Before the job: the base asks for the printer with the print dialog
    // (not for a direct job or a preview). False cancels the job.
    virtual bool OnPreparePrinting(CPrintInfo& info) { return DoPreparePrinting(info); }
    virtual void OnBeginPrinting(QPainter& painter, CPrintInfo& info) { (void)painter; (void)info; }
    virtual void OnPrepareDC(QPainter& painter, CPrintInfo* info) { (void)painter; (void)info; }
    // One page; the base draws it with OnDraw.
    virtual void OnPrint(QPainter& painter, CPrintInfo& info) { (void)info; OnDraw(painter); }
    virtual void OnEndPrinting(QPainter& painter, CPrintInfo& info) { (void)painter; (void)info; }

    // The framework's printing commands, for views that handle them.
    void OnFilePrint();
    void OnFilePrintDirect();
    void OnFilePrintPreview();
    // Prints every page of the job onto the printer (the dialogs are the
    // callers' business). False when the printer could not be started.
    bool PrintPages(QPrinter& printer, CPrintInfo& info);

protected:
    // Shows the print dialog for the application's printer unless the job
    // is direct or a preview; false when the user cancelled.
    bool DoPreparePrinting(CPrintInfo& info);

private:
    friend class CDocument;
    CDocument* m_pDocument = nullptr;
};
