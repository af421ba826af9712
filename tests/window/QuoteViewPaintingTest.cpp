#include <fstream>
#include <iterator>
#include <regex>

#include <QMdiArea>
#include <QPainter>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QScreen>

#include "QuoteWindowFixture.h"
#include "chart/Graph.h"
#include "base/CText.h"
#include "framework/DocTemplate.h"
#include "base/Globals.h"
#include "framework/MDIChildWnd.h"
#include "quote/QuoteTime.h"
#include "res/Resource.h"
#include "support/LocalHttpServer.h"
#include "window/QuorelleDoc.h"
#include "base/Settings.h"

namespace {

// A working view outside any window, as creation leaves it before the first refresh.
class DetachedView {
public:
    DetachedView()
    {
        g_nWindowKind = 0;
        view = std::make_unique<CQuorelleView>(CCreateContext{});
        view->m_security.company = "Acme Corp";
        view->m_security.symbol = "ACME";
        view->m_security.easternTime = true;
        view->m_security.refreshMinutes = 1;
        view->resize(400, 600);
        g_nWindowKind = 1;
    }
    std::unique_ptr<CQuorelleView> view;
};

QuoteRecord AcmeQuote(int hour, int minute)
{
    QuoteRecord quote;
    quote.last = 25.5;
    quote.prevClose = 25.25;
    quote.dayHigh = 25.75;
    quote.dayLow = 25.1;
    quote.change = "0.25 (0.99%)";
    quote.exchange = "NYSE";
    quote.delayMinutes = 15;
    quote.quoteTime = MakeQuoteTime(2011, 1, 2, hour, minute, 0, -1);
    return quote;
}

TEST(QuoteViewChart, InitGraphSetsUpTitleCaptionAndTheFourSeries)
{
    DetachedView detached;
    CQuorelleView& view = *detached.view;
    view.InitGraph();
    ASSERT_NE(view.m_pGraph, nullptr);
    const CGraph& graph = *view.m_pGraph;
    EXPECT_EQ(graph.m_strTitle, "Acme Corp (ACME)");
    ASSERT_EQ(graph.m_series.size(), 5u);
    EXPECT_EQ(graph.m_nSeries, 5);
    EXPECT_EQ(graph.m_series[0].nMarkSize, 0);
    EXPECT_EQ(*graph.m_series[0].pName, "Time ET (every 1 min)");
    EXPECT_FALSE(graph.m_series[0].pPen.has_value());
    const struct {
        const char* name;
        Rgb color;
    } expected[] = {{"Today", {0, 0, 255}}, {"Prev. day close", {255, 0, 0}}, {"Heigh", {200, 200, 0}},
                    {"Low", {0, 200, 0}}};
    for (std::size_t slot = 1; slot <= 4; ++slot) {
        const GraphSeries& series = graph.m_series[slot];
        EXPECT_EQ(series.nMarkSize, 3) << slot;
        EXPECT_EQ(*series.pName, expected[slot - 1].name);
        ASSERT_TRUE(series.pPen.has_value());
        EXPECT_EQ(*series.pPen, (Pen{1, expected[slot - 1].color})) << slot;
    }
    for (const GraphSeries& series : graph.m_series)
        EXPECT_FALSE(series.pNotes.has_value());
    EXPECT_TRUE(graph.m_points.empty());

    // Set up again, it starts over.
    view.m_security.easternTime = false;
    view.UpdateGraph(AcmeQuote(9, 35));
    view.InitGraph();
    EXPECT_TRUE(view.m_pGraph->m_points.empty());
    EXPECT_EQ(view.m_pGraph->m_series.size(), 5u);
    EXPECT_EQ(*view.m_pGraph->m_series[0].pName, "Time local (every 1 min)");
}

TEST(QuoteViewChart, UpdateGraphAddsARowAndReplacesThePanel)
{
    DetachedView detached;
    CQuorelleView& view = *detached.view;
    view.InitGraph();
    QuoteRecord first = AcmeQuote(9, 35);
    first.dayHigh = 0;
    first.dayLow = 0;
    view.UpdateGraph(first);
    QuoteRecord second = AcmeQuote(9, 36);
    second.exchange.clear();
    view.UpdateGraph(second);

    const CGraph& graph = *view.m_pGraph;
    ASSERT_EQ(graph.m_points.size(), 2u);
    EXPECT_EQ(graph.m_points[0].Cells(), (std::vector<std::string>{"09:35", "25.50", "25.25", "25.50", "25.50"}));
    EXPECT_EQ(graph.m_points[1].Cells(), (std::vector<std::string>{"09:36", "25.50", "25.25", "25.75", "25.10"}));
    ASSERT_TRUE(graph.m_series[4].pNotes.has_value());
    const std::vector<std::string>& panel = *graph.m_series[4].pNotes;
    ASSERT_EQ(panel.size(), 24u);
    EXPECT_EQ(panel[4], "Day's High: 25.75");
    EXPECT_EQ(panel[18], "Exchange: ");
    for (std::size_t slot = 0; slot < 4; ++slot)
        EXPECT_FALSE(graph.m_series[slot].pNotes.has_value());
}

TEST(QuoteViewChart, LocalTimeLabelsThePointWithTheTimeOfTheRefresh)
{
    DetachedView detached;
    CQuorelleView& view = *detached.view;
    view.m_security.easternTime = false;
    view.InitGraph();
    const std::time_t before = std::time(nullptr);
    view.UpdateGraph(AcmeQuote(9, 35));
    const std::time_t after = std::time(nullptr);
    auto label = [](std::time_t t) {
        std::tm local{};
        localtime_r(&t, &local);
        return FormatC("%02d:%02d", local.tm_hour, local.tm_min);
    };
    const std::string text(view.m_pGraph->m_points[0].Text(0));
    EXPECT_TRUE(text == label(before) || text == label(after)) << text;
}

TEST(QuoteViewChart, AChartWithoutSeriesGetsTheRowButNoPanel)
{
    DetachedView detached;
    CQuorelleView& view = *detached.view;
    view.InitGraph();
    view.m_pGraph->m_series.clear();
    view.UpdateGraph(AcmeQuote(9, 35));
    EXPECT_EQ(view.m_pGraph->m_points.size(), 1u);
    EXPECT_TRUE(view.m_pGraph->m_series.empty());
    // Painting such a chart draws what it can and does not throw.
    view.show();
    view.repaint();
    view.hide();
}

// The display's and the printer's resolution as the view's printing sees them.
double DisplayDpiX(const QWidget& view)
{
    return view.screen()->logicalDotsPerInchX();
}
double DisplayDpiY(const QWidget& view)
{
    return view.screen()->logicalDotsPerInchY();
}

int PdfPageCount(const std::filesystem::path& file)
{
    std::ifstream in(file, std::ios::binary);
    const std::string pdf((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const std::regex page("/Type\\s*/Page(?!s)");
    return static_cast<int>(std::distance(std::sregex_iterator(pdf.begin(), pdf.end(), page), std::sregex_iterator()));
}

TEST(QuoteViewPrinting, OnePageAtTheChartsOnScreenSize)
{
    DetachedView detached;
    CQuorelleView& view = *detached.view;
    view.InitGraph();
    view.UpdateGraph(AcmeQuote(9, 35));

    testing_support::TempDir dir;
    const std::filesystem::path file = dir.path() / "chart.pdf";
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setResolution(600);
    printer.setOutputFileName(QString::fromStdString(file.string()));

    CPrintInfo info;
    info.m_bDirect = true;
    info.m_pPrinter = &printer;
    ASSERT_TRUE(view.OnPreparePrinting(info));
    ASSERT_TRUE(view.PrintPages(printer, info));
    EXPECT_EQ(PdfPageCount(file), 1);
    // The chart keeps the frame of the window on screen.
    EXPECT_EQ(view.m_pGraph->m_rcFrame.right, 400 - view.m_pGraph->m_nMargin);

    QPainter painter(&printer);
    view.OnPrepareDC(painter, &info);
    EXPECT_DOUBLE_EQ(painter.worldTransform().m11(), 600 / DisplayDpiX(view));
    EXPECT_DOUBLE_EQ(painter.worldTransform().m22(), 600 / DisplayDpiY(view));
    painter.end();

    // The screen keeps one unit per pixel.
    QImage image(10, 10, QImage::Format_RGB32);
    QPainter screen(&image);
    view.OnPrepareDC(screen, nullptr);
    EXPECT_TRUE(screen.worldTransform().isIdentity());
}

using QuoteWindowPainting = QuoteWindowTest;

TEST_F(QuoteWindowPainting, TheFirstPaintTitlesTheDocumentWithTheCompany)
{
    CQuorelleView* view = Open(Security("US", "MSFT"));
    ASSERT_NE(view, nullptr);
    CDocument* document = view->GetDocument();
    EXPECT_EQ(document->GetTitle(), "Quorelle1");
    EXPECT_EQ(view->m_pGraph->m_strTitle, " (MSFT)");
    ProcessEvents();  // the window is exposed and painted
    view->repaint();
    EXPECT_EQ(document->GetTitle(), Expected("US:MSFT").security.company);
    EXPECT_FALSE(view->m_bTitlePending);
    EXPECT_EQ(view->GetParentFrame()->windowTitle().toStdString(), document->GetTitle());
}

TEST_F(QuoteWindowPainting, APageWithoutCompanyLeavesTheTitleEmpty)
{
    // The page's title line, where the company stands, is taken away.
    testing_support::LocalHttpServer server;
    server.server().Get("/detail/stock_quote", [this](const httplib::Request& request, httplib::Response& response) {
        std::string page = m_sim.MsnPage(request.get_param_value("Symbol"), m_sim.Now());
        const std::size_t title = page.find("Stock Quote for");
        if (title != std::string::npos)
            page.erase(title, 15);
        response.set_content(page, "text/html");
    });
    server.start();
    CUserSettings().setValue("QuoteHosts/MsnMoney", QString::fromStdString(server.hostPort()));

    CQuorelleView* view = Open(Security("US", "MSFT"));
    ASSERT_NE(view, nullptr);
    ASSERT_EQ(view->m_history.size(), 1u);
    EXPECT_EQ(view->m_security.company, "");
    ProcessEvents();
    view->repaint();
    EXPECT_EQ(view->GetDocument()->GetTitle(), "");
    EXPECT_EQ(view->m_pGraph->m_strTitle, " (MSFT)");
}

TEST_F(QuoteWindowPainting, PrintPreviewShowsOnePage)
{
    CQuorelleView* view = Open(Security("US", "MSFT"));
    ASSERT_NE(view, nullptr);
    int pages = -1;
    WhenModalOpens([&](QWidget* dialog) {
        if (auto* preview = dialog->findChild<QPrintPreviewWidget*>())
            pages = preview->pageCount();
    });
    ASSERT_TRUE(m_frame->SendCommand(ID_FILE_PRINT_PREVIEW));
    EXPECT_EQ(pages, 1);
}

// The view as it paints itself, with the document background and the
// window's background set apart.
QImage Grab(CQuorelleView& view)
{
    QPalette palette = view.palette();
    palette.setColor(QPalette::Base, QColor(10, 200, 30));
    palette.setColor(QPalette::Window, QColor(200, 10, 30));
    view.setPalette(palette);
    return view.grab().toImage();
}

TEST(QuoteViewChart, TheViewIsErasedToTheDocumentBackground)
{
    const QRgb base = qRgb(10, 200, 30);
    // An inert view paints nothing but its background.
    g_nWindowKind = 1;
    CQuorelleView inert{CCreateContext{}};
    ASSERT_FALSE(inert.IsWorking());
    inert.resize(200, 150);
    const QImage blank = Grab(inert);
    for (const QPoint point : {QPoint(0, 0), QPoint(100, 75), QPoint(199, 149)})
        EXPECT_EQ(blank.pixel(point), base) << point.x() << "," << point.y();

    // A chart leaves its margin around the frame erased.
    DetachedView detached;
    CQuorelleView& view = *detached.view;
    view.InitGraph();
    view.UpdateGraph(AcmeQuote(9, 35));
    const QImage chart = Grab(view);
    const int inside = view.m_pGraph->m_nMargin / 2;
    EXPECT_EQ(chart.pixel(inside, inside), base);
    EXPECT_EQ(chart.pixel(view.width() - 1 - inside, view.height() - 1 - inside), base);
    EXPECT_EQ(chart.pixel(view.width() / 2, inside), base);
}

}  // namespace
