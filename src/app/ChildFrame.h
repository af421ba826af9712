#pragma once

#include <QSize>

#include "framework/MDIChildWnd.h"

// The initial size of a document window by g_nWindowKind: 400 x 620 for a
// quote window (0), 320 x 200 for the nearest-quotes list (2), 462 x 550 for
// a market list (3..9); 0 x 0 (the framework's default) for any other kind.
CFrameCreateStruct ChildFrameSizeForKind(int windowKind);

// The watchlist window's size: 860 x 420, less where the MDI area's visible
// part (`area`, when known and not empty) is smaller, so that the area's
// placement can put it wholly inside.
CFrameCreateStruct WatchlistFrameSize(QSize area);

// The frame of every document window, quote windows and list windows alike.
// Its size comes from g_nWindowKind at the moment it is created (the
// watchlist's from its template); its position is the MDI area's.
class CChildFrame : public CMDIChildWnd {
    Q_OBJECT

public:
    CChildFrame() = default;
    bool PreCreateWindow(CFrameCreateStruct& cs) override;
};
