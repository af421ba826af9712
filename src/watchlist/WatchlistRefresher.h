#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include <QObject>
#include <QThreadPool>
#include <QTimer>

#include "quote/QuoteSourceRouter.h"
#include "quote/SecurityRecord.h"

// Refreshes the watchlist's securities through the quote service, off the
// GUI thread: at most kMaxTransfers fetches at a time (the router itself
// keeps each source's minimum interval and back-off). The source order and
// bases are read once per cycle, on the thread that starts it; the results
// come back on the refresher's thread, so the GUI thread never waits for a
// transfer. Results are handed over in batches, in the order they arrived:
// those of one frame (kDeliveryWindow from the first) together, in one turn
// of the event loop, at most kMaxRowsPerTurn at a time. The table then
// re-sorts and repaints once per batch, not once per row, and never more
// than once a frame, so the GUI keeps its pace while a refresh comes in.
class CWatchlistRefresher : public QObject {
    Q_OBJECT

public:
    static constexpr int kMaxTransfers = 6;
    // A bound on one turn's work, so a backlog never holds the GUI for long.
    static constexpr std::size_t kMaxRowsPerTurn = 100;
    static constexpr std::chrono::milliseconds kDeliveryWindow{16};

    struct FetchedRow {
        SecurityRecord security;
        QuoteFetchResult result;
    };

    explicit CWatchlistRefresher(QObject* parent = nullptr);
    // Cancels the transfers under way and waits for the workers to end.
    ~CWatchlistRefresher() override;

    // Where the periodic refresh takes its securities from.
    void SetSecuritiesProvider(std::function<std::vector<SecurityRecord>()> provider);
    // The period of the automatic refresh (whole minutes, at least 1); a
    // period of 0 stops it. Arming restarts the period from now.
    void SetPeriodMinutes(int minutes);
    int PeriodMinutes() const { return m_periodMinutes; }

    // Starts a cycle over the securities now; false (nothing started) while
    // the previous cycle is still running, so cycles never pile up.
    bool RefreshNow(const std::vector<SecurityRecord>& securities);
    // A cycle over the provider's securities.
    bool RefreshAll();
    // Fetches one security now, outside the cycles (a row just added).
    void FetchOne(const SecurityRecord& security);
    // The exchange rates (from, to) each cycle asks for as it starts.
    void SetRatePairsProvider(std::function<std::vector<std::pair<std::string, std::string>>()> provider);
    // Asks the sources for these rates now; each answer is a rateFetched.
    void FetchRates(const std::vector<std::pair<std::string, std::string>>& pairs);
    bool Busy() const { return m_pending > 0; }
    std::uint64_t Cycle() const { return m_cycle; }

signals:
    // Results in the order they arrived; every result of a cycle comes
    // before its cycleFinished.
    void rowsFetched(const std::vector<CWatchlistRefresher::FetchedRow>& rows);
    void cycleFinished(std::uint64_t cycle);
    // rate is 0 when no source gave one; error then says why.
    void rateFetched(const std::string& from, const std::string& to, double rate, const std::string& error);

private:
    struct Arrival {
        std::uint64_t cycle = 0;
        FetchedRow row;
    };
    void Start(std::uint64_t cycle, const std::vector<SecurityRecord>& securities);
    // On a worker: queues the result; the first of a batch asks for Deliver.
    void Arrive(Arrival arrival);
    // On the refresher's thread: hands over what has arrived.
    void Deliver();

    QThreadPool m_pool;
    QTimer m_timer;
    QTimer m_deliveryTimer;  // the frame that gathers a batch
    int m_periodMinutes = 0;
    std::function<std::vector<SecurityRecord>()> m_provider;
    std::function<std::vector<std::pair<std::string, std::string>>()> m_ratePairs;
    std::shared_ptr<std::atomic<bool>> m_cancel;
    std::uint64_t m_cycle = 0;
    int m_pending = 0;
    std::mutex m_inboxMutex;
    std::vector<Arrival> m_inbox;  // guarded by m_inboxMutex
    bool m_deliveryAsked = false;  // guarded by m_inboxMutex
};
