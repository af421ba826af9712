// The chart drawing of arbitrary rows and notes into an image, with the
// settings a user can change (window size, Y scale, line width, switches).
// Input, NUL-separated:
//   "width height"  the owner window's size (each clamped to 0..800)
//   switches        letters: a autoscale Y, m marks, l legend, x/y net X/Y
//   line width      decimal text, as typed into the properties dialog
//   Y min           decimal text
//   Y delta         decimal text
//   title           any text
//   body            lines: "N:<text>" adds a note, any other line is a data
//                   row of "|"-separated cells (time label, then the four
//                   series values as texts), padded to the quote window's
//                   five columns.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QWidget>

#include "FuzzSupport.h"
#include "chart/DeviceContext.h"
#include "chart/Graph.h"
#include "base/CText.h"

namespace {

constexpr int kMaxSide = 800;
constexpr std::size_t kColumns = 5;  // time label and the quote window's four series

// Qt's own warnings (a painter on a degenerate image and the like) would
// only drown the fuzzer's output.
void QuietMessages(QtMsgType, const QMessageLogContext&, const QString&) {}

QApplication& Application()
{
    static int argc = 1;
    static char name[] = "fuzz_chart";
    static char* argv[] = {name, nullptr};
    static QApplication app(argc, argv);
    return app;
}

std::vector<std::string> Split(const std::string& text, char separator)
{
    std::vector<std::string> parts;
    std::string part;
    std::istringstream stream(text);
    while (std::getline(stream, part, separator))
        parts.push_back(part);
    return parts;
}

// The five series a quote window gives its chart; the notes (its text
// panel) hang under the last one.
void SetUpQuoteSeries(CGraph& graph, std::vector<std::string> notes)
{
    graph.m_series.clear();
    graph.m_series.push_back(GraphSeries{0, "Time ET (every 1 min)", std::nullopt, std::nullopt});
    graph.m_series.push_back(GraphSeries{3, "Today", Pen{1, Rgb{0, 0, 255}}, std::nullopt});
    graph.m_series.push_back(GraphSeries{3, "Prev. day close", Pen{1, Rgb{255, 0, 0}}, std::nullopt});
    graph.m_series.push_back(GraphSeries{3, "Heigh", Pen{1, Rgb{200, 200, 0}}, std::nullopt});
    graph.m_series.push_back(GraphSeries{3, "Low", Pen{1, Rgb{0, 200, 0}}, std::move(notes)});
    graph.m_nSeries = static_cast<int>(graph.m_series.size());
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    fuzz::PinTimeZone();
    qInstallMessageHandler(QuietMessages);
    Application();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzz::FuzzInput input(data, size);
    int width = 0;
    int height = 0;
    std::istringstream(input.TakeText()) >> width >> height;
    width = std::clamp(width, 0, kMaxSide);
    height = std::clamp(height, 0, kMaxSide);
    const std::string switches = input.TakeText();
    const int lineWidth = CAtoi(input.TakeText());
    const double yMin = CAtof(input.TakeText());
    const double yDelta = CAtof(input.TakeText());
    const std::string title = input.TakeText();

    std::vector<PointRow> rows;
    std::vector<std::string> notes;
    for (const std::string& line : Split(input.TakeRest(), '\n')) {
        if (line.rfind("N:", 0) == 0) {
            notes.push_back(line.substr(2));
            continue;
        }
        std::vector<std::string> cells = Split(line, '|');
        if (cells.size() < kColumns)
            cells.resize(kColumns);
        rows.emplace_back(std::move(cells));
    }

    QWidget owner;
    owner.resize(width, height);
    CGraph graph(&owner);
    SetUpQuoteSeries(graph, std::move(notes));
    graph.SetTitle(title);
    graph.m_bAutoscaleY = switches.find('a') != std::string::npos;
    graph.m_bShowMarks = switches.find('m') != std::string::npos;
    graph.m_bShowLegend = switches.find('l') != std::string::npos;
    graph.m_bNetX = switches.find('x') != std::string::npos;
    graph.m_bNetY = switches.find('y') != std::string::npos;
    graph.m_nLineWidth = lineWidth;
    graph.m_dYMin = yMin;
    graph.m_dYDelta = yDelta;
    graph.m_points = std::move(rows);

    // The window's client area; a zero-sized window still gets a one-pixel
    // image so that the painter is active.
    QImage image(std::max(width, 1), std::max(height, 1), QImage::Format_RGB32);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        DeviceContext dc(painter);
        graph.Draw(dc);
    }
    // The plot lies inside the frame the window gave the chart.
    FUZZ_CHECK(graph.m_rcPlot.left >= graph.m_rcFrame.left);
    FUZZ_CHECK(graph.m_rcPlot.top >= graph.m_rcFrame.top);
    return 0;
}
