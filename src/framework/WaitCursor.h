#pragma once

// The busy cursor. Shows nest: DoWaitCursor(1) shows it, DoWaitCursor(-1)
// ends one show, and the normal cursor returns when every show has ended.
// DoWaitCursor(0) puts the busy cursor back after something (a message
// box) replaced it. Without a QGuiApplication only the count is kept.

void DoWaitCursor(int code);

// Number of shows not yet ended.
int WaitCursorDepth();

// Shows the busy cursor for the object's life.
class CWaitCursor {
public:
    CWaitCursor() { DoWaitCursor(1); }
    ~CWaitCursor() { DoWaitCursor(-1); }
    CWaitCursor(const CWaitCursor&) = delete;
    CWaitCursor& operator=(const CWaitCursor&) = delete;
    void Restore() { DoWaitCursor(0); }
};
