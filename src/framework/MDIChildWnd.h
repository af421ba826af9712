#pragma once

#include <QMdiSubWindow>
#include <QSize>

#include "framework/CommandTarget.h"

class CDocTemplate;
class CDocument;
class CView;
class QMdiArea;

// The size a child frame asks for before it is created; 0 keeps the
// framework's default for that dimension.
struct CFrameCreateStruct {
    int cx = 0;
    int cy = 0;
};

// A document window inside the main frame: a sub-window that holds one view.
// Its template creates it, calls PreCreateWindow (where a subclass sets the
// initial size), places it in the main frame's MDI area and puts the view
// into it. Closing it destroys it and its view; the document goes with its
// last view.
class CMDIChildWnd : public QMdiSubWindow, public CCmdTarget {
    Q_OBJECT

public:
    CMDIChildWnd();
    ~CMDIChildWnd() override;

    // Called before the window is placed; false gives up the window.
    virtual bool PreCreateWindow(CFrameCreateStruct& cs);

    CView* GetActiveView() const;
    CDocument* GetActiveDocument() const;
    CDocTemplate* GetDocTemplate() const { return m_pDocTemplate; }

    // The framework's default size of a new document window in the area:
    // two thirds of its visible part, at least 300 x 200.
    static QSize DefaultSize(const QMdiArea* area);

private:
    friend class CDocTemplate;
    CDocTemplate* m_pDocTemplate = nullptr;
};
