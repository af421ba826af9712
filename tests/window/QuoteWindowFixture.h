#pragma once

#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "app/MainFrame.h"
#include "app/QuorelleApp.h"
#include "quotesim/QuoteSimulator.h"
#include "support/TestEnvironment.h"
#include "window/QuorelleView.h"

class CQuorelleDoc;

// A started application whose quote hosts point at a local quote simulator
// (its clock fixed at 10:30 ET on a trading day, every symbol quoted under
// a made-up name), on empty settings, in a private current directory, with
// every message recorded instead of shown.
class QuoteWindowTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Points both quote hosts at the simulator, or at a port nobody listens on.
    void UseSimulator();
    void UseDeadHost();

    // A record as the main frame makes it, for the symbol.
    SecurityRecord Security(const std::string& country, const std::string& symbol,
                            const std::string& company = "") const;
    // Opens a quote window through the quote directory; returns its view.
    CQuorelleView* Open(SecurityRecord record);
    // Advances the simulator's clock by minutes.
    void AdvanceClock(int minutes);
    // The refresh timer of the view fires once.
    static void Tick(CQuorelleView* view);

    std::vector<CQuorelleView*> Views() const;
    int WindowCount() const;
    std::vector<std::string> RecentEntries() const;
    // The expected page values of the symbol ("CC:SYM") at the simulator's clock.
    quotesim::QuoteSnapshot Expected(const std::string& symbolParameter) const;
    // Posted events (deferred deletes among them) are processed.
    static void ProcessEvents();

    testing_support::TempDir m_work;
    std::unique_ptr<testing_support::ScopedCurrentDir> m_cwd;
    std::unique_ptr<testing_support::MessageRecorder> m_messages;
    quotesim::QuoteSimulator m_sim;
    std::unique_ptr<CQuorelleApp> m_app;
    CMainFrame* m_frame = nullptr;
};

// Runs `whileOpen` once the next modal dialog is up; a dialog still open
// afterwards is rejected, so a test never blocks.
void WhenModalOpens(std::function<void(QWidget* dialog)> whileOpen);
