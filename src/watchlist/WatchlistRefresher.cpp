#include "watchlist/WatchlistRefresher.h"

#include <algorithm>
#include <ctime>

#include "quote/ExchangeRateFetch.h"
#include "quote/QuoteService.h"

CWatchlistRefresher::CWatchlistRefresher(QObject* parent)
    : QObject(parent), m_cancel(std::make_shared<std::atomic<bool>>(false))
{
    qRegisterMetaType<SecurityRecord>("SecurityRecord");
    qRegisterMetaType<QuoteFetchResult>("QuoteFetchResult");
    qRegisterMetaType<std::vector<FetchedRow>>("std::vector<CWatchlistRefresher::FetchedRow>");
    m_pool.setMaxThreadCount(kMaxTransfers);
    m_pool.setExpiryTimeout(60'000);
    connect(&m_timer, &QTimer::timeout, this, [this] { RefreshAll(); });
    m_deliveryTimer.setSingleShot(true);
    connect(&m_deliveryTimer, &QTimer::timeout, this, [this] { Deliver(); });
}

CWatchlistRefresher::~CWatchlistRefresher()
{
    m_cancel->store(true);
    m_pool.clear();
    m_pool.waitForDone();
}

void CWatchlistRefresher::SetSecuritiesProvider(std::function<std::vector<SecurityRecord>()> provider)
{
    m_provider = std::move(provider);
}

void CWatchlistRefresher::SetPeriodMinutes(int minutes)
{
    m_periodMinutes = std::max(0, minutes);
    if (m_periodMinutes == 0) {
        m_timer.stop();
        return;
    }
    // Computed in 64 bits and clamped to what the timer takes.
    const long long ms = std::min<long long>(static_cast<long long>(m_periodMinutes) * 60'000LL, 2'147'483'647LL);
    m_timer.start(static_cast<int>(ms));
}

bool CWatchlistRefresher::RefreshAll()
{
    return m_provider ? RefreshNow(m_provider()) : false;
}

bool CWatchlistRefresher::RefreshNow(const std::vector<SecurityRecord>& securities)
{
    if (m_pending > 0)
        return false;
    ++m_cycle;
    if (m_ratePairs)
        FetchRates(m_ratePairs());
    if (securities.empty()) {
        emit cycleFinished(m_cycle);
        return true;
    }
    m_pending = static_cast<int>(securities.size());
    Start(m_cycle, securities);
    return true;
}

void CWatchlistRefresher::FetchOne(const SecurityRecord& security)
{
    // Cycle 0 is never a running cycle, so the result counts toward none.
    Start(0, {security});
}

void CWatchlistRefresher::SetRatePairsProvider(
    std::function<std::vector<std::pair<std::string, std::string>>()> provider)
{
    m_ratePairs = std::move(provider);
}

void CWatchlistRefresher::FetchRates(const std::vector<std::pair<std::string, std::string>>& pairs)
{
    const std::shared_ptr<std::atomic<bool>> cancel = m_cancel;
    for (const auto& pair : pairs) {
        // Plain names: clang before 16 cannot capture structured bindings.
        const std::string& from = pair.first;
        const std::string& to = pair.second;
        m_pool.start([this, cancel, from, to] {
            if (cancel->load())
                return;
            const ExchangeRateResult result =
                FetchExchangeRate(from, to, TransferLimits{}, std::time(nullptr), cancel.get());
            if (cancel->load())
                return;
            QMetaObject::invokeMethod(
                this, [this, from, to, result] { emit rateFetched(from, to, result.rate.value_or(0), result.error); },
                Qt::QueuedConnection);
        });
    }
}

void CWatchlistRefresher::Start(std::uint64_t cycle, const std::vector<SecurityRecord>& securities)
{
    // The order and bases of this cycle, read here once and shared by its
    // workers.
    CQuoteService& service = CQuoteService::Instance();
    struct CycleInputs {
        std::shared_ptr<const std::vector<QuoteSourceDefinition>> sources;
        std::vector<std::string> order;
        std::map<std::string, std::string> bases;
    };
    auto inputs = std::make_shared<const CycleInputs>(
        CycleInputs{service.Sources(), service.EnabledSources(), service.SourceBases()});
    const std::shared_ptr<std::atomic<bool>> cancel = m_cancel;
    for (const SecurityRecord& security : securities) {
        m_pool.start([this, inputs, cancel, cycle, security] {
            if (cancel->load())
                return;
            QuoteFetchResult result = CQuoteService::Instance().Router().Fetch(
                security, *inputs->sources, inputs->order, inputs->bases, TransferLimits{}, std::time(nullptr),
                cancel.get());
            if (cancel->load())
                return;
            Arrive(Arrival{cycle, FetchedRow{security, std::move(result)}});
        });
    }
}

void CWatchlistRefresher::Arrive(Arrival arrival)
{
    {
        const std::lock_guard<std::mutex> lock(m_inboxMutex);
        m_inbox.push_back(std::move(arrival));
        if (m_deliveryAsked)
            return;  // a delivery is on its way and takes this one too
        m_deliveryAsked = true;
    }
    // Queued to the refresher's thread; dropped with the refresher.
    QMetaObject::invokeMethod(
        this, [this] { m_deliveryTimer.start(static_cast<int>(kDeliveryWindow.count())); }, Qt::QueuedConnection);
}

void CWatchlistRefresher::Deliver()
{
    std::vector<Arrival> batch;
    {
        const std::lock_guard<std::mutex> lock(m_inboxMutex);
        if (m_inbox.size() <= kMaxRowsPerTurn) {
            batch.swap(m_inbox);
            m_deliveryAsked = false;
        } else {
            // The rest in a later turn, after the timers and paints waiting.
            batch.assign(std::make_move_iterator(m_inbox.begin()),
                         std::make_move_iterator(m_inbox.begin() + static_cast<std::ptrdiff_t>(kMaxRowsPerTurn)));
            m_inbox.erase(m_inbox.begin(), m_inbox.begin() + static_cast<std::ptrdiff_t>(kMaxRowsPerTurn));
            m_deliveryTimer.start(0);
        }
    }
    std::vector<FetchedRow> rows;
    rows.reserve(batch.size());
    int ofCycle = 0;
    for (Arrival& arrival : batch) {
        if (arrival.cycle != 0 && arrival.cycle == m_cycle)
            ++ofCycle;
        rows.push_back(std::move(arrival.row));
    }
    if (!rows.empty())
        emit rowsFetched(rows);
    if (ofCycle > 0 && (m_pending -= ofCycle) == 0)
        emit cycleFinished(m_cycle);
}
