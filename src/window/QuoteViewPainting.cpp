// The quote view's side of painting: setting the chart up, adding a point
// and the text panel after each refresh, and drawing it.

#include <ctime>
#include <exception>

#include <QPaintEvent>
#include <QPainter>

#include "chart/DeviceContext.h"
#include "chart/Graph.h"
#include "chart/QuoteChartContent.h"
#include "window/QuorelleDoc.h"
#include "window/QuorelleView.h"

namespace {

GraphSeries PriceSeries(const char* name, Rgb color)
{
    GraphSeries series;
    series.nMarkSize = 3;
    series.pName = name;
    series.pPen = Pen{1, color};
    return series;
}

}  // namespace

void CQuorelleView::InitGraph()
{
    if (!m_pGraph)
        m_pGraph = std::make_unique<CGraph>(this);
    CGraph& graph = *m_pGraph;
    graph.m_series.clear();
    graph.m_points.clear();

    m_strWork = QuoteChartTitle(m_security.company, m_security.symbol);
    graph.SetTitle(m_strWork);

    GraphSeries caption;
    caption.nMarkSize = 0;
    caption.pName = TimeAxisCaption(m_security.easternTime, m_security.refreshMinutes);
    graph.m_series.push_back(std::move(caption));
    graph.m_series.push_back(PriceSeries("Today", Rgb{0, 0, 255}));
    graph.m_series.push_back(PriceSeries("Prev. day close", Rgb{255, 0, 0}));
    graph.m_series.push_back(PriceSeries("Heigh", Rgb{200, 200, 0}));  // "Heigh": the legend's text, kept on purpose
    graph.m_series.push_back(PriceSeries("Low", Rgb{0, 200, 0}));
    graph.m_nSeries = static_cast<int>(graph.m_series.size());
}

void CQuorelleView::UpdateGraph(const QuoteRecord& quote)
{
    if (!m_pGraph)
        return;
    CGraph& graph = *m_pGraph;
    const PointTime time = PointTimeOf(quote, m_security.easternTime, std::time(nullptr));
    graph.m_points.push_back(QuotePointRow(quote, time));
    if (graph.m_series.empty())
        return;
    graph.m_series.back().pNotes = QuotePanelLines(quote);
    // Drawn now rather than at the next paint: the new point shows at once.
    repaint();
}

void CQuorelleView::OnDraw(QPainter& painter)
{
    if (!IsWorking())
        return;
    if (m_bTitlePending && !m_bFirstRefreshRunning) {
        m_bTitlePending = false;
        if (m_pDoc) {
            m_pDoc->SetTitle(m_bPastDay ? m_strCaption : m_security.company);
            m_pDoc->UpdateAllViews(this, 0);
        }
    }
    if (!m_pGraph)
        return;
    DeviceContext dc(painter);
    try {
        m_pGraph->Draw(dc);
    } catch (const std::exception&) {
        // A chart without its price series cannot be drawn; the window
        // shows what was drawn so far instead of ending the program.
    }
}

void CQuorelleView::paintEvent(QPaintEvent* event)
{
    (void)event;
    QPainter painter(this);
    // Erased first, as a document window is: the margin around the chart
    // and the whole of an inert view show the document background.
    painter.fillRect(rect(), palette().color(QPalette::Base));
    OnPrepareDC(painter, nullptr);
    OnDraw(painter);
}
