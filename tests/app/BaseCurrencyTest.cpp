// Tools -> Base Currency...: what the user types reaches the setting, or the
// open watchlist, and a code that is no currency is refused with a message.

#include <functional>

#include <QApplication>
#include <QInputDialog>
#include <QTimer>

#include "AppTestSupport.h"
#include "base/QtText.h"
#include "base/Settings.h"
#include "res/Resource.h"
#include "support/TestEnvironment.h"
#include "watchlist/WatchlistDoc.h"
#include "watchlist/WatchlistModel.h"

namespace {

using BaseCurrencyTest = AppTest;

std::string StoredBaseCurrency()
{
    return FromQString(CUserSettings().value(QString::fromLatin1(SettingsKey::kPortfolioBaseCurrency)).toString());
}

// Answers the next input dialog with `typed` (accepted), or cancels it when
// `typed` is empty; `shown` receives the text the dialog offered.
void AnswerTheDialog(const QString& typed, QString* shown)
{
    QTimer::singleShot(0, [typed, shown] {
        auto* input = qobject_cast<QInputDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(input, nullptr);
        *shown = input->textValue();
        if (typed.isEmpty()) {
            input->reject();
            return;
        }
        input->setTextValue(typed);
        input->accept();
    });
}

TEST_F(BaseCurrencyTest, ATypedCodeIsKeptUpperCasedAndAnUnknownOneIsRefused)
{
    testing_support::MessageRecorder messages;
    QString shown;

    AnswerTheDialog(QStringLiteral(" eur "), &shown);
    ASSERT_TRUE(m_frame->SendCommand(ID_TOOLS_BASE_CURRENCY));
    EXPECT_EQ(FromQString(shown), CWatchlistDoc::DefaultBaseCurrency());
    EXPECT_EQ(StoredBaseCurrency(), "EUR");
    EXPECT_TRUE(messages.messages().empty());

    // The dialog offers what is set; a code that is no currency changes nothing.
    AnswerTheDialog(QStringLiteral("XYZ"), &shown);
    ASSERT_TRUE(m_frame->SendCommand(ID_TOOLS_BASE_CURRENCY));
    EXPECT_EQ(FromQString(shown), "EUR");
    EXPECT_EQ(StoredBaseCurrency(), "EUR");
    ASSERT_EQ(messages.messages().size(), 1u);
    EXPECT_EQ(messages.messages()[0], "Unknown currency code \"XYZ\". Type a code such as USD, EUR or GBP.");

    // Cancel changes nothing either.
    AnswerTheDialog(QString(), &shown);
    ASSERT_TRUE(m_frame->SendCommand(ID_TOOLS_BASE_CURRENCY));
    EXPECT_EQ(StoredBaseCurrency(), "EUR");
    EXPECT_EQ(messages.messages().size(), 1u);
}

TEST_F(BaseCurrencyTest, TheOpenWatchlistFollowsAtOnce)
{
    ASSERT_TRUE(m_frame->SendCommand(ID_TOOLS_WATCHLIST));
    CWatchlistDoc* watchlist = m_app->GetWatchlist();
    ASSERT_NE(watchlist, nullptr);

    QString shown;
    AnswerTheDialog(QStringLiteral("gbp"), &shown);
    ASSERT_TRUE(m_frame->SendCommand(ID_TOOLS_BASE_CURRENCY));
    EXPECT_EQ(watchlist->Model().BaseCurrency(), "GBP");
    EXPECT_EQ(StoredBaseCurrency(), "GBP");
}

}  // namespace
