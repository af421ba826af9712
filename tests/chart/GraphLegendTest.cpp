#include <gtest/gtest.h>

#include "ChartFixtures.h"
#include "RecordingDeviceContext.h"
#include "chart/Graph.h"

using namespace chart_test;

namespace {
constexpr Rgb kBullet{0, 150, 100};
const std::string kLongNote = "aaaa bbbb cccc dddd eeee ffff gggg hhhh iiii jjjj kkkk llll";

struct Legend : ::testing::Test {
    Legend() : graph(nullptr)
    {
        SetUpQuoteSeries(graph);
        FixPlot(graph, 500, 400);  // plot (55, 55, 555, 455): legend column at 565
    }
    RecordingDeviceContext& DrawChart()
    {
        canvas = std::make_unique<RecordedCanvas>(800, 700);
        graph.Draw(canvas->Dc());
        return canvas->Dc();
    }
    std::vector<DrawnOp> TextsFrom(const RecordingDeviceContext& dc, int x)
    {
        std::vector<DrawnOp> texts;
        for (const DrawnOp& op : dc.Texts())
            if (op.from.x == x)
                texts.push_back(op);
        return texts;
    }
    CGraph graph;
    std::unique_ptr<RecordedCanvas> canvas;
};
}  // namespace

TEST_F(Legend, EntriesHaveASampleInTheirPenAndTheirNameBeside)
{
    graph.m_series[2].pName = std::string(40, 'N');
    graph.m_series[3].pPen.reset();
    RecordingDeviceContext& dc = DrawChart();
    EXPECT_TRUE(dc.HasLine(Point{565, 55}, Point{585, 55}));
    EXPECT_TRUE(dc.HasLine(Point{565, 115}, Point{585, 115}));
    EXPECT_FALSE(dc.HasLine(Point{565, 95}, Point{585, 95}));  // no pen, no sample
    for (const DrawnOp& op : dc.Lines()) {
        if (op.from == Point{565, 115}) {
            EXPECT_EQ(op.pen, kLowPen);
        }
    }
    const DrawnOp* today = dc.FindText("Today");
    ASSERT_NE(today, nullptr);
    EXPECT_EQ(today->from, (Point{595, 50}));
    EXPECT_EQ(today->align, TextAlign::Left | TextAlign::Top);
    EXPECT_EQ(today->fontHeight, 14);
    ASSERT_NE(dc.FindText(std::string(30, 'N')), nullptr);
    EXPECT_EQ(dc.FindText(std::string(30, 'N'))->from, (Point{595, 70}));
    EXPECT_EQ(dc.FindText("Heigh")->from, (Point{595, 90}));
    EXPECT_EQ(dc.FindText("Low")->from, (Point{595, 110}));
}

TEST_F(Legend, NotesHaveBulletsSkipEmptyLinesAndWrap)
{
    graph.m_series[4].pNotes =
        std::vector<std::string>{"Last: 10.00", "   ", "Diff.: +0.12<BR>(+1.5%)", kLongNote, "Volume: 1,234"};
    RecordingDeviceContext& dc = DrawChart();
    const auto bullets = dc.Of(DrawnOp::Kind::Fill);
    ASSERT_EQ(bullets.size(), 4u);
    EXPECT_EQ(bullets[0].rect, (Rect{561, 149, 566, 154}));
    EXPECT_EQ(bullets[0].color, kBullet);
    EXPECT_EQ(bullets[1].rect, (Rect{561, 181, 566, 186}));
    EXPECT_EQ(bullets[2].rect, (Rect{561, 197, 566, 202}));
    EXPECT_EQ(bullets[3].rect, (Rect{561, 245, 566, 250}));

    const auto notes = TextsFrom(dc, 570);
    ASSERT_EQ(notes.size(), 7u);
    EXPECT_EQ(notes[0].text, "Last: 10.00");
    EXPECT_EQ(notes[0].from.y, 145);
    EXPECT_EQ(notes[0].background, kWhite);  // set back after the bullet
    EXPECT_EQ(notes[1].text, "");
    EXPECT_EQ(notes[1].from.y, 161);
    EXPECT_EQ(notes[2].text, "Diff.: +0.12 (+1.5%)");
    EXPECT_EQ(notes[2].from.y, 177);
    EXPECT_EQ(notes[3].text, "aaaa bbbb cccc dddd eeee");
    EXPECT_EQ(notes[3].from.y, 193);
    EXPECT_EQ(notes[4].text, "ffff gggg hhhh iiii jjjj");
    EXPECT_EQ(notes[4].from.y, 208);
    EXPECT_EQ(notes[5].text, "kkkk llll");
    EXPECT_EQ(notes[5].from.y, 223);
    EXPECT_EQ(notes[6].text, "Volume: 1,234");
    EXPECT_EQ(notes[6].from.y, 241);
}

TEST_F(Legend, NotesStopOnceTheNextTopIsBelowTheLimit)
{
    FixPlot(graph, 500, 388);  // bottom 443: no note starts below 433
    std::vector<std::string> lines;
    for (int i = 0; i < 30; ++i)
        lines.push_back("Line " + std::to_string(i));
    graph.m_series[4].pNotes = lines;
    {
        RecordingDeviceContext& dc = DrawChart();
        const auto notes = TextsFrom(dc, 570);
        ASSERT_EQ(notes.size(), 19u);  // the note at 433 itself is still drawn
        EXPECT_EQ(notes.back().text, "Line 18");
        EXPECT_EQ(notes.back().from.y, 433);
    }
    // The last note is drawn in full, below the limit if it wraps.
    lines[18] = kLongNote;
    graph.m_series[4].pNotes = lines;
    RecordingDeviceContext& dc = DrawChart();
    const auto notes = TextsFrom(dc, 570);
    ASSERT_EQ(notes.size(), 21u);
    EXPECT_EQ(notes.back().text, "kkkk llll");
    EXPECT_EQ(notes.back().from.y, 463);
}

TEST_F(Legend, EntriesKeepTheirPitchWhateverTheNotesTake)
{
    graph.m_series[1].pNotes = std::vector<std::string>{"one", "two"};
    graph.m_series[2].pNotes = std::vector<std::string>{};
    RecordingDeviceContext& dc = DrawChart();
    EXPECT_EQ(dc.FindText("Prev. day close")->from, (Point{595, 70}));
    EXPECT_EQ(dc.FindText("one")->from, (Point{570, 85}));
    EXPECT_EQ(dc.FindText("two")->from, (Point{570, 101}));
    EXPECT_EQ(dc.Of(DrawnOp::Kind::Fill).size(), 2u);
}

TEST_F(Legend, WrappedTextCountsLinesFromTheFirstCall)
{
    RecordingDeviceContext& dc = DrawChart();
    dc.ops.clear();
    EXPECT_EQ(graph.DrawWrappedText(10, 20, kLongNote, 25, 15, true), 3);
    EXPECT_EQ(graph.DrawWrappedText(10, 80, "short", 25, 15, false), 3);
    EXPECT_EQ(graph.DrawWrappedText(10, 80, "short", 25, 15, true), 1);
    EXPECT_EQ(graph.DrawWrappedText(10, 80, std::string(60, 'x'), 25, 15, true), 3);
    const auto texts = dc.Texts();
    ASSERT_EQ(texts.size(), 8u);
    EXPECT_EQ(texts[2].from, (Point{10, 50}));
    EXPECT_EQ(texts[5].text, std::string(25, 'x'));
    EXPECT_EQ(texts[7].text, std::string(10, 'x'));
}
