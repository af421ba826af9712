#include "base/WaitCursor.h"

#include <utility>
#include <vector>

namespace {
// One flag per show not yet ended: whether that show put a cursor on the
// screen, so that its end takes back exactly what it put there.
std::vector<bool>& Shows()
{
    static std::vector<bool> shows;
    return shows;
}

WaitCursorPresenter& Presenter()
{
    static WaitCursorPresenter presenter;
    return presenter;
}
}  // namespace

void SetWaitCursorPresenter(WaitCursorPresenter presenter)
{
    Presenter() = std::move(presenter);
}

void DoWaitCursor(int code)
{
    auto& shows = Shows();
    const WaitCursorPresenter& presenter = Presenter();
    if (code > 0) {
        shows.push_back(presenter.show && presenter.show());
    } else if (code < 0) {
        // An end without a show is ignored rather than taking back a
        // cursor that somebody else put there.
        if (shows.empty())
            return;
        bool shown = shows.back();
        shows.pop_back();
        if (shown && presenter.end)
            presenter.end();
    } else if (!shows.empty() && presenter.restore) {
        presenter.restore();
    }
}

int WaitCursorDepth()
{
    return static_cast<int>(Shows().size());
}
