// The quote view's side of day files and exports: resuming today's rows,
// showing a past day read-only, and the Tools menu's export commands.

#include <ctime>
#include <exception>
#include <filesystem>
#include <utility>

#include <QFileDialog>
#include <QInputDialog>
#include <QLineEdit>
#include <QPointer>
#include <QString>

#include "base/StatusText.h"
#include "chart/ChartExport.h"
#include "chart/Graph.h"
#include "chart/QuoteChartContent.h"
#include "base/CText.h"
#include "base/MessageBox.h"
#include "base/PosixFile.h"
#include "base/QtText.h"
#include "base/WaitCursor.h"
#include "window/DayFile.h"
#include "window/HistoryCsv.h"
#include "window/QuorelleView.h"
#include "window/QuoteWindowHost.h"

namespace {

// Atomic write of a whole file at a path the user chose.
bool WriteWholeFile(const std::string& path, const std::string& bytes)
{
    const std::filesystem::path target(path);
    return WriteFileAtomically(target.parent_path().string(), target.filename().string(), bytes);
}

bool EndsWithIgnoringCase(const std::string& text, const char* ending)
{
    const std::string_view tail(ending);
    return text.size() >= tail.size() &&
           EqualsIgnoringAsciiCase(std::string_view(text).substr(text.size() - tail.size()), tail);
}

}  // namespace

void CQuorelleView::ResumeToday()
{
    try {
        ResumeTodayRows();
    } catch (const std::exception&) {
        // Out of memory reading the file: the day starts with this window;
        // closing it still keeps the file's rows.
    }
}

void CQuorelleView::ResumeTodayRows()
{
    DayFileSession::Resumed resumed;
    std::string owned;
    const bool found = m_dayFile.Resume(m_security, std::time(nullptr), resumed, owned);
    // Both notes at once where both apply: the status bar shows one text.
    std::string note = owned;
    if (found) {
        const std::string unreadable = UnreadableLinesNote(resumed.path, resumed.file);
        note += (note.empty() || unreadable.empty() ? "" : " ") + unreadable;
        ShowDayFileRows(std::move(resumed.file));
    }
    // Without a file the day starts with this window.
    if (!note.empty() && m_pMainFrame)
        ShowStatusText(note);
}

void CQuorelleView::ShowDayFileRows(DayFile file)
{
    m_nUnreadableLines = file.unreadable.size();
    if (!m_pGraph || file.rows.empty())
        return;
    AppendDayFileRows(std::move(file), m_history, m_pGraph->m_points);
    if (!m_pGraph->m_series.empty())
        m_pGraph->m_series.back().pNotes = QuotePanelLines(m_history.back());
    repaint();
}

void CQuorelleView::OpenPastDay(PastDay& day)
{
    m_bPastDay = true;
    m_security.symbol = day.symbol;
    m_security.company = day.symbol;
    m_security.writeToFile = false;
    m_strCaption = day.symbol + " " + day.date + " (read-only)";
    InitGraph();
    m_pGraph->SetTitle(day.symbol + " " + day.date);
    const std::string note = UnreadableLinesNote(day.path, day.file);
    ShowDayFileRows(std::move(day.file));
    if (!m_history.empty())
        m_quote = m_history.back();
    if (!note.empty() && m_pMainFrame)
        ShowStatusText(note);
}

bool CQuorelleView::ExportChart(const std::string& path, int width, int height)
{
    if (!m_pGraph)
        return false;
    CWaitCursor wait;
    const bool svg = EndsWithIgnoringCase(path, ".svg");
    const std::string bytes = svg ? ChartSvg(*m_pGraph, width, height) : ChartPng(*m_pGraph, width, height);
    if (!bytes.empty() && WriteWholeFile(path, bytes))
        return true;
    ShowMessage(FormatC("Can not write the chart to \"%s\" (%d x %d).", path.c_str(), width, height));
    return false;
}

bool CQuorelleView::ExportHistory(const std::string& path)
{
    CWaitCursor wait;
    if (WriteWholeFile(path, FormatHistoryCsv(m_history)))
        return true;
    ShowMessage(FormatC("Can not write the history to \"%s\".", path.c_str()));
    return false;
}

void CQuorelleView::OnExportChart()
{
    const QPointer<CQuorelleView> alive(this);
    QString filter;
    QString chosen = QFileDialog::getSaveFileName(window(), QStringLiteral("Export Chart"),
                                                  ToQString(m_security.symbol + ".png"),
                                                  QStringLiteral("PNG image (*.png);;SVG drawing (*.svg)"), &filter);
    if (!alive || chosen.isEmpty())
        return;
    std::string path = FromQString(chosen);
    if (!EndsWithIgnoringCase(path, ".png") && !EndsWithIgnoringCase(path, ".svg"))
        path += filter.contains(QStringLiteral("svg")) ? ".svg" : ".png";

    bool ok = false;
    const QString size = QInputDialog::getText(
        window(), QStringLiteral("Export Chart"), QStringLiteral("Size in pixels (width x height):"),
        QLineEdit::Normal, ToQString(FormatC("%d x %d", width(), height())), &ok);
    if (!alive || !ok)
        return;
    const std::string text = FromQString(size);
    const std::size_t cross = text.find_first_of("xX*");
    const int w = CAtoi(text.substr(0, cross));
    const int h = cross == std::string::npos ? 0 : CAtoi(text.substr(cross + 1));
    if (w < 1 || h < 1 || w > 16384 || h > 16384) {
        ShowMessage("The size must be two whole numbers from 1 to 16384, e.g. 800 x 600.");
        return;
    }
    ExportChart(path, w, h);
}

void CQuorelleView::OnExportHistory()
{
    const QPointer<CQuorelleView> alive(this);
    QString chosen = QFileDialog::getSaveFileName(window(), QStringLiteral("Export History"),
                                                  ToQString(m_security.symbol + ".csv"),
                                                  QStringLiteral("CSV (*.csv)"));
    if (!alive || chosen.isEmpty())
        return;
    std::string path = FromQString(chosen);
    if (!EndsWithIgnoringCase(path, ".csv"))
        path += ".csv";
    ExportHistory(path);
}
