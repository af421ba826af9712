// The price history: loading 8 securities x 5 years of daily bars from the
// SQLite cache into the compare chart's series, against a plain SELECT of
// the same rows; drawing that compare chart, against QPainter drawing the
// same polylines; storing ten years of one security's bars, against a plain
// prepared INSERT loop in one transaction.

#include <cmath>
#include <filesystem>
#include <string>
#include <vector>

#include <QImage>
#include <QPainter>
#include <QPalette>
#include <benchmark/benchmark.h>
#include <sqlite3.h>
#include <unistd.h>

#include "historydata/HistoryCache.h"
#include "history/HistoryChart.h"

namespace {

constexpr int kSecurities = 8;
constexpr int kFiveYears = 1260;
constexpr int kTenYears = 2520;
constexpr int kWidth = 800;
constexpr int kHeight = 400;

// A folder of the run's own, removed at its end.
struct ScratchFolder {
    std::filesystem::path path =
        std::filesystem::temp_directory_path() / ("quorelle-history-bench-" + std::to_string(::getpid()));
    ScratchFolder() { std::filesystem::create_directories(path); }
    ~ScratchFolder()
    {
        std::error_code ignored;
        std::filesystem::remove_all(path, ignored);
    }
};

std::string Folder()
{
    static const ScratchFolder folder;
    return folder.path.string();
}

HistorySeries Walk(int security, int bars)
{
    HistorySeries series;
    double price = 20 + 10 * security;
    for (int i = 0; i < bars; ++i) {
        price *= 1 + 0.01 * std::sin(i * 0.37 + security) + 0.0002 * security;
        series.bars.push_back({18000 + i, price * 0.99, price * 1.01, price * 0.98, price, price, 100000 + i});
    }
    return series;
}

std::string Symbol(int security)
{
    return "S" + std::to_string(security);
}

// The cache the load cases read: eight securities of five years each.
HistoryCache& FilledCache()
{
    static std::unique_ptr<HistoryCache> cache = [] {
        std::string message;
        auto opened = HistoryCache::Open(Folder() + "/load.sqlite", message);
        for (int s = 0; s < kSecurities; ++s)
            opened->Store("US", Symbol(s), "1d", "chart-json", 1, Walk(s, kFiveYears), true, 0);
        return opened;
    }();
    return *cache;
}

void LoadCase(benchmark::State& state)
{
    HistoryCache& cache = FilledCache();
    std::vector<std::string> labels;
    for (int s = 0; s < kSecurities; ++s)
        labels.push_back(Symbol(s));
    for (auto _ : state) {
        std::vector<HistorySeries> series;
        for (int s = 0; s < kSecurities; ++s)
            series.push_back(cache.Load("US", Symbol(s), "1d", INT64_MIN));
        HistoryChartModel model = MakeHistoryChartModel(labels, series);
        benchmark::DoNotOptimize(model);
    }
}

void LoadBaseline(benchmark::State& state)
{
    FilledCache();
    sqlite3* db = nullptr;
    sqlite3_open((Folder() + "/load.sqlite").c_str(), &db);
    sqlite3_stmt* statement = nullptr;
    sqlite3_prepare_v2(db,
                       "SELECT b.t, b.open, b.high, b.low, b.close, b.adjclose, b.volume FROM bars b JOIN series s "
                       "ON b.series = s.id WHERE s.country = 'US' AND s.symbol = ?1 AND s.kind = '1d' ORDER BY b.t",
                       -1, &statement, nullptr);
    for (auto _ : state) {
        std::vector<HistoryBar> rows;
        for (int s = 0; s < kSecurities; ++s) {
            const std::string symbol = Symbol(s);
            sqlite3_bind_text(statement, 1, symbol.c_str(), -1, SQLITE_TRANSIENT);
            while (sqlite3_step(statement) == SQLITE_ROW)
                rows.push_back({sqlite3_column_int64(statement, 0), sqlite3_column_double(statement, 1),
                                sqlite3_column_double(statement, 2), sqlite3_column_double(statement, 3),
                                sqlite3_column_double(statement, 4), sqlite3_column_double(statement, 5),
                                sqlite3_column_int64(statement, 6)});
            sqlite3_reset(statement);
        }
        benchmark::DoNotOptimize(rows);
    }
    sqlite3_finalize(statement);
    sqlite3_close(db);
}

HistoryChartModel CompareModel()
{
    std::vector<std::string> labels;
    std::vector<HistorySeries> series;
    for (int s = 0; s < kSecurities; ++s) {
        labels.push_back(Symbol(s));
        series.push_back(Walk(s, kFiveYears));
    }
    return MakeHistoryChartModel(labels, series);
}

void DrawCase(benchmark::State& state)
{
    const HistoryChartModel model = CompareModel();
    QImage image(kWidth, kHeight, QImage::Format_ARGB32_Premultiplied);
    const QPalette palette;
    for (auto _ : state) {
        QPainter painter(&image);
        PaintHistoryChart(painter, image.rect(), model, palette);
    }
}

void DrawBaseline(benchmark::State& state)
{
    const HistoryChartModel model = CompareModel();
    QImage image(kWidth, kHeight, QImage::Format_ARGB32_Premultiplied);
    // The same polylines, already in pixels.
    std::vector<QPolygonF> lines;
    for (const HistoryChartLine& line : model.lines) {
        QPolygonF polyline;
        for (size_t i = 0; i < line.points.size(); ++i)
            polyline.append(QPointF(static_cast<double>(i) * kWidth / line.points.size(), kHeight / 2.0 - line.points[i].y()));
        lines.push_back(polyline);
    }
    for (auto _ : state) {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing, true);
        for (size_t i = 0; i < lines.size(); ++i) {
            painter.setPen(QPen(HistoryLineColor(static_cast<int>(i)), 1.5));
            painter.drawPolyline(lines[i]);
        }
    }
}

void StoreCase(benchmark::State& state)
{
    std::string message;
    auto cache = HistoryCache::Open(Folder() + "/store.sqlite", message);
    const HistorySeries bars = Walk(1, kTenYears);
    for (auto _ : state)
        cache->Store("US", "STORE", "1d", "chart-json", 1, bars, true, 0);
}

void StoreBaseline(benchmark::State& state)
{
    sqlite3* db = nullptr;
    sqlite3_open((Folder() + "/plain.sqlite").c_str(), &db);
    sqlite3_exec(db,
                 "PRAGMA journal_mode=WAL; PRAGMA synchronous=NORMAL; CREATE TABLE IF NOT EXISTS bars(series INTEGER, "
                 "t INTEGER, open REAL, high REAL, low REAL, close REAL, adjclose REAL, volume INTEGER, "
                 "PRIMARY KEY(series, t)) WITHOUT ROWID",
                 nullptr, nullptr, nullptr);
    sqlite3_stmt* insert = nullptr;
    sqlite3_prepare_v2(db, "INSERT OR REPLACE INTO bars VALUES(1, ?1, ?2, ?3, ?4, ?5, ?6, ?7)", -1, &insert, nullptr);
    const HistorySeries bars = Walk(1, kTenYears);
    for (auto _ : state) {
        sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
        for (const HistoryBar& bar : bars.bars) {
            sqlite3_bind_int64(insert, 1, bar.time);
            sqlite3_bind_double(insert, 2, bar.open);
            sqlite3_bind_double(insert, 3, bar.high);
            sqlite3_bind_double(insert, 4, bar.low);
            sqlite3_bind_double(insert, 5, bar.close);
            sqlite3_bind_double(insert, 6, bar.adjClose);
            sqlite3_bind_int64(insert, 7, bar.volume);
            sqlite3_step(insert);
            sqlite3_reset(insert);
        }
        sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
    }
    sqlite3_finalize(insert);
    sqlite3_close(db);
}

}  // namespace

BENCHMARK(LoadCase)->Name("history_load_8x5y/case")->Unit(benchmark::kMillisecond);
BENCHMARK(LoadBaseline)->Name("history_load_8x5y/baseline")->Unit(benchmark::kMillisecond);
BENCHMARK(DrawCase)->Name("history_draw_compare/case")->Unit(benchmark::kMillisecond);
BENCHMARK(DrawBaseline)->Name("history_draw_compare/baseline")->Unit(benchmark::kMillisecond);
BENCHMARK(StoreCase)->Name("history_store_2520/case")->Unit(benchmark::kMillisecond);
BENCHMARK(StoreBaseline)->Name("history_store_2520/baseline")->Unit(benchmark::kMillisecond);
