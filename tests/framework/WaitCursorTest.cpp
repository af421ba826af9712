#include <QCursor>
#include <QGuiApplication>
#include <gtest/gtest.h>

#include "base/WaitCursor.h"

namespace {

Qt::CursorShape OverrideShape()
{
    const QCursor* cursor = QGuiApplication::overrideCursor();
    return cursor ? cursor->shape() : Qt::ArrowCursor;
}

TEST(WaitCursor, ShowsNestAndTheCursorReturnsAfterTheLastEnd)
{
    ASSERT_EQ(WaitCursorDepth(), 0);
    DoWaitCursor(1);
    DoWaitCursor(1);
    EXPECT_EQ(WaitCursorDepth(), 2);
    EXPECT_EQ(OverrideShape(), Qt::WaitCursor);
    DoWaitCursor(-1);
    EXPECT_EQ(OverrideShape(), Qt::WaitCursor);
    DoWaitCursor(-1);
    EXPECT_EQ(WaitCursorDepth(), 0);
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}

TEST(WaitCursor, AnEndWithoutAShowLeavesOtherCursorsAlone)
{
    QGuiApplication::setOverrideCursor(QCursor(Qt::CrossCursor));
    DoWaitCursor(-1);
    EXPECT_EQ(OverrideShape(), Qt::CrossCursor);
    EXPECT_EQ(WaitCursorDepth(), 0);
    QGuiApplication::restoreOverrideCursor();
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}

TEST(WaitCursor, RestorePutsTheBusyCursorBack)
{
    DoWaitCursor(1);
    QGuiApplication::changeOverrideCursor(QCursor(Qt::ArrowCursor));
    DoWaitCursor(0);
    EXPECT_EQ(OverrideShape(), Qt::WaitCursor);
    DoWaitCursor(-1);
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}

TEST(WaitCursor, GuardEndsItsShowWhenLeavingTheScope)
{
    {
        CWaitCursor outer;
        {
            CWaitCursor inner;
            EXPECT_EQ(WaitCursorDepth(), 2);
        }
        EXPECT_EQ(OverrideShape(), Qt::WaitCursor);
    }
    EXPECT_EQ(WaitCursorDepth(), 0);
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}

}  // namespace
