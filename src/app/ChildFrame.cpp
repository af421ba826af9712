#include "app/ChildFrame.h"

#include "base/Globals.h"

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

bool CChildFrame::PreCreateWindow(CFrameCreateStruct& cs)
{
    CFrameCreateStruct sized = ChildFrameSizeForKind(g_nWindowKind);
    if (sized.cx > 0) {
        cs.cx = sized.cx;
        cs.cy = sized.cy;
    }
    return CMDIChildWnd::PreCreateWindow(cs);
}
