#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "base/WaitCursor.h"

namespace {

// Records what the busy cursor's presenter was asked to do; `canShow` says
// whether a show puts a cursor up (an application without a screen cannot).
struct RecordingPresenter {
    std::vector<std::string> calls;
    bool canShow = true;

    void Install()
    {
        SetWaitCursorPresenter({
            [this] {
                calls.push_back("show");
                return canShow;
            },
            [this] { calls.push_back("end"); },
            [this] { calls.push_back("restore"); },
        });
    }
};

class WaitCursorCount : public ::testing::Test {
protected:
    ~WaitCursorCount() override { SetWaitCursorPresenter({}); }
    RecordingPresenter m_presenter;
};

TEST_F(WaitCursorCount, WithoutAPresenterOnlyTheCountIsKept)
{
    {
        CWaitCursor outer;
        CWaitCursor inner;
        inner.Restore();
        EXPECT_EQ(WaitCursorDepth(), 2);
    }
    EXPECT_EQ(WaitCursorDepth(), 0);
}

TEST_F(WaitCursorCount, EachEndTakesBackOnlyWhatItsShowPutUp)
{
    m_presenter.Install();
    m_presenter.canShow = false;
    DoWaitCursor(1);  // could not show: its end takes nothing back
    m_presenter.canShow = true;
    DoWaitCursor(1);
    DoWaitCursor(-1);
    DoWaitCursor(-1);
    EXPECT_EQ(m_presenter.calls, (std::vector<std::string>{"show", "show", "end"}));
    EXPECT_EQ(WaitCursorDepth(), 0);
}

TEST_F(WaitCursorCount, AnEndWithoutAShowAndARestoreWithoutAShowAreIgnored)
{
    m_presenter.Install();
    DoWaitCursor(-1);
    DoWaitCursor(0);
    EXPECT_TRUE(m_presenter.calls.empty());
    EXPECT_EQ(WaitCursorDepth(), 0);
    CWaitCursor wait;
    wait.Restore();
    EXPECT_EQ(m_presenter.calls, (std::vector<std::string>{"show", "restore"}));
}

}  // namespace
