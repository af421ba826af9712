#include "app/ChildFrame.h"

#include <algorithm>

#include <QMdiArea>

#include "framework/DocTemplate.h"
#include "base/Globals.h"
#include "res/Resource.h"

CFrameCreateStruct ChildFrameSizeForKind(int windowKind)
{
    CFrameCreateStruct cs;
    if (windowKind == 0) {
        cs.cx = 400;
        cs.cy = 620;
    } else if (windowKind == 2) {
        cs.cx = 320;
        cs.cy = 200;
    } else if (windowKind >= 3 && windowKind <= 9) {
        cs.cx = 462;
        cs.cy = 550;
    }
    return cs;
}

CFrameCreateStruct WatchlistFrameSize(QSize area)
{
    CFrameCreateStruct cs;
    cs.cx = 860;
    cs.cy = 420;
    if (area.width() > 0 && area.height() > 0) {
        cs.cx = std::min(cs.cx, area.width());
        cs.cy = std::min(cs.cy, area.height());
    }
    return cs;
}

bool CChildFrame::PreCreateWindow(CFrameCreateStruct& cs)
{
    // Sized here, before the area places it: a size given after placement
    // can reach past the area's edge.
    if (CDocTemplate* documentTemplate = GetDocTemplate();
        documentTemplate && (documentTemplate->GetResourceId() == IDR_WATCHLISTTYPE ||
                             documentTemplate->GetResourceId() == IDR_HISTORYTYPE)) {
        const QMdiArea* area = documentTemplate->GetMdiArea();
        cs = WatchlistFrameSize(area ? area->viewport()->size() : QSize());
        return CMDIChildWnd::PreCreateWindow(cs);
    }
    CFrameCreateStruct sized = ChildFrameSizeForKind(g_nWindowKind);
    if (sized.cx > 0) {
        cs.cx = sized.cx;
        cs.cy = sized.cy;
    }
    return CMDIChildWnd::PreCreateWindow(cs);
}
