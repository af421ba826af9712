#include "base/Globals.h"

#include <utility>
#include <vector>

#include <QPointer>
#include <QTimer>

int QuoteSource = 2;
bool refreshInProgress = false;
int g_nWindowKind = 1;
std::string g_strFindText;
int g_nSortColumn = 0;
bool g_bSortDescending = false;

namespace {

struct WaitingCall {
    QPointer<QObject> context;
    std::function<void()> call;
};

std::vector<WaitingCall>& Waiting()
{
    static std::vector<WaitingCall> waiting;
    return waiting;
}

void Queue(QObject* context, std::function<void()> call)
{
    QTimer::singleShot(0, context, std::move(call));
}

}  // namespace

void CallWhenRefreshEnds(QObject* context, std::function<void()> call)
{
    if (!context || !call)
        return;
    if (!refreshInProgress) {
        Queue(context, std::move(call));
        return;
    }
    Waiting().push_back({context, std::move(call)});
}

void EndRefresh()
{
    refreshInProgress = false;
    std::vector<WaitingCall> waiting;
    waiting.swap(Waiting());
    for (WaitingCall& entry : waiting)
        if (entry.context)
            Queue(entry.context.data(), std::move(entry.call));
}
