#include <filesystem>

#include <QPainter>
#include <QPrinter>
#include <QWidget>
#include <gtest/gtest.h>

#include "framework/View.h"
#include "support/TestEnvironment.h"

namespace {

class PrintingView : public QWidget, public CView {
public:
    void OnBeginPrinting(QPainter&, CPrintInfo&) override { steps.push_back("begin"); }
    void OnPrepareDC(QPainter&, CPrintInfo* info) override
    {
        steps.push_back("prepare " + std::to_string(info->m_nCurPage));
    }
    void OnDraw(QPainter& painter) override
    {
        steps.push_back("draw");
        painter.drawLine(0, 0, 100, 100);
    }
    void OnEndPrinting(QPainter&, CPrintInfo&) override { steps.push_back("end"); }
    std::vector<std::string> steps;
};

TEST(ViewPrinting, EveryPageIsDrawnThroughOnDraw)
{
    testing_support::TempDir dir;
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    std::filesystem::path file = dir.path() / "chart.pdf";
    printer.setOutputFileName(QString::fromStdString(file.string()));

    PrintingView view;
    CPrintInfo info;
    info.m_nMaxPage = 2;
    ASSERT_TRUE(view.PrintPages(printer, info));
    EXPECT_EQ(view.steps, (std::vector<std::string>{"begin", "prepare 1", "draw", "prepare 2", "draw", "end"}));
    EXPECT_FALSE(info.m_rectDraw.isEmpty());
    EXPECT_GT(std::filesystem::file_size(file), 0u);
}

}  // namespace
