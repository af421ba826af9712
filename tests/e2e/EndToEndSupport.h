#pragma once

#include <ctime>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "quotesim/QuoteSimulator.h"
#include "support/TestEnvironment.h"

class CMainFrame;
class CQuorelleApp;
class CQuorelleView;
class CListView_;

// The whole application against the quote simulator: a working folder with
// copies of the sample lists, the quote hosts pointed at an in-process
// simulator with a fixed clock, and every message recorded instead of shown.
class EndToEndTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // A new application object, started as the program starts it.
    void StartApplication();
    // Closes every window and ends the application object, as Exit does.
    void EndApplication();

    // Steps the simulator's clock by minutes.
    void AdvanceClock(int minutes);

    // The quote views and list views now open.
    std::vector<CQuorelleView*> QuoteViews() const;
    std::vector<CListView_*> ListViews() const;

    // Text of the log file of a symbol as the day's file name names it, or
    // "" when there is none.
    std::string ReadLog(const std::string& symbol) const;
    // The log row the simulator's page at that clock time must give
    // ("US:SYM" or "SYM" as the simulator takes it).
    std::string ExpectedRow(const std::string& symbol, const quotesim::ClockTime& clock) const;
    // Checks that the log of `symbol` holds exactly one row per clock time, in order.
    void ExpectLogRows(const std::string& logSymbol, const std::string& simSymbol,
                       const std::vector<quotesim::ClockTime>& clocks) const;

    testing_support::TempDir m_work;
    std::unique_ptr<testing_support::ScopedCurrentDir> m_cwd;
    std::unique_ptr<testing_support::MessageRecorder> m_messages;
    quotesim::QuoteSimulator m_sim;
    std::unique_ptr<CQuorelleApp> m_app;
    CMainFrame* m_frame = nullptr;
    // The local dates around the test: a row's date is today's, and the test
    // may run across midnight.
    std::time_t m_started = 0;
};

// "MM/DD/YYYY" of a local time.
std::string LocalDate(std::time_t time);
