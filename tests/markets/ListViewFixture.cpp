#include "ListViewFixture.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>

#include "base/Globals.h"
#include "base/QtText.h"
#include "base/WaitCursor.h"
#include "markets/Dia_Find.h"

namespace list_test {

SecurityRecord Record(const std::string& company, const std::string& symbol, const std::string& volume,
                      const std::string& listed)
{
    SecurityRecord row;
    row.writeToFile = false;
    row.easternTime = true;
    row.refreshMinutes = 1;
    row.country = "US";
    row.company = company;
    row.symbol = symbol;
    row.volumeText = volume;
    row.listed = listed;
    return row;
}

std::string FileLine(const std::string& company, const std::string& symbol, const std::string& volume,
                     const std::string& listed)
{
    std::string line = company + "    " + symbol + "    " + volume;
    const std::size_t gap = line.size() + 4 + listed.size() > 50 ? 4 : 51 - line.size() - listed.size();
    return line + std::string(gap, ' ') + listed;
}

Strings Shown(const CListView_& view, int column)
{
    Strings texts;
    const QAbstractItemModel* model = view.model();
    for (int row = 0; row < model->rowCount(); ++row)
        texts.push_back(FromQString(model->index(row, column).data().toString()));
    return texts;
}

Strings Symbols(const SecurityArray& rows)
{
    Strings symbols;
    for (const SecurityRecord& row : rows)
        symbols.push_back(row.symbol);
    return symbols;
}

void ResetListState()
{
    g_nSortColumn = 0;
    g_bSortDescending = false;
    g_nWindowKind = 0;
}

void RecordingListView::OpenRow(SecurityRecord& record)
{
    m_opened.push_back(record);
    m_waitDepths.push_back(WaitCursorDepth());
}

FindDialogAnswer::FindDialogAnswer(std::optional<std::string> text)
{
    m_timer.setInterval(5);
    QObject::connect(&m_timer, &QTimer::timeout, [this, text] {
        auto* dialog = qobject_cast<CDia_Find*>(QApplication::activeModalWidget());
        if (!dialog || !dialog->isVisible())
            return;
        m_timer.stop();
        m_bAnswered = true;
        if (!text) {
            dialog->findChild<QPushButton*>(QStringLiteral("ctl2"))->click();
            return;
        }
        dialog->findChild<QLineEdit*>(QStringLiteral("ctl103"))->setText(ToQString(*text));
        dialog->findChild<QPushButton*>(QStringLiteral("ctl1"))->click();
    });
    m_timer.start();
}

FindDialogAnswer::~FindDialogAnswer()
{
    m_timer.stop();
}

}  // namespace list_test
