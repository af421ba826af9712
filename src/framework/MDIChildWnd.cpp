#include "framework/MDIChildWnd.h"

#include <algorithm>

#include <QMdiArea>

#include "framework/View.h"

CMDIChildWnd::CMDIChildWnd()
{
    // Closing a document window destroys it (and its view), as the user expects.
    setAttribute(Qt::WA_DeleteOnClose);
}

CMDIChildWnd::~CMDIChildWnd() = default;

bool CMDIChildWnd::PreCreateWindow(CFrameCreateStruct& cs)
{
    (void)cs;
    return true;
}

CView* CMDIChildWnd::GetActiveView() const
{
    return dynamic_cast<CView*>(widget());
}

CDocument* CMDIChildWnd::GetActiveDocument() const
{
    CView* view = GetActiveView();
    return view ? view->GetDocument() : nullptr;
}

QSize CMDIChildWnd::DefaultSize(const QMdiArea* area)
{
    QSize visible = area ? area->viewport()->size() : QSize();
    int width = std::max(300, visible.width() * 2 / 3);
    int height = std::max(200, visible.height() * 2 / 3);
    return {width, height};
}
