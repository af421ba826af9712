#pragma once

#include <functional>

// The busy cursor. Shows nest: DoWaitCursor(1) shows it, DoWaitCursor(-1)
// ends one show, and the normal cursor returns when every show has ended.
// DoWaitCursor(0) puts the busy cursor back after something (a message
// box) replaced it. The count is kept here, free of widgets, so that the
// cores can mark their long work; the user interface installs what puts
// the cursor on the screen (without one only the count is kept).

void DoWaitCursor(int code);

// Number of shows not yet ended.
int WaitCursorDepth();

// Puts the cursor on the screen: `show` shows the busy cursor and says
// whether it did (it cannot without an application object), `end` takes
// back one show that did, `restore` puts the busy cursor back.
struct WaitCursorPresenter {
    std::function<bool()> show;
    std::function<void()> end;
    std::function<void()> restore;
};

// Installed by the user interface; an empty presenter keeps only the count.
void SetWaitCursorPresenter(WaitCursorPresenter presenter);

// Shows the busy cursor for the object's life.
class CWaitCursor {
public:
    CWaitCursor() { DoWaitCursor(1); }
    ~CWaitCursor() { DoWaitCursor(-1); }
    CWaitCursor(const CWaitCursor&) = delete;
    CWaitCursor& operator=(const CWaitCursor&) = delete;
    void Restore() { DoWaitCursor(0); }
};
