#include "quote/EventfulWait.h"

#include <thread>

#include <QCoreApplication>
#include <QEventLoop>
#include <QThread>

void RunWhileHandlingEvents(const std::function<void(const std::atomic<bool>& cancel)>& work)
{
    std::atomic<bool> cancel{false};
    QCoreApplication* application = QCoreApplication::instance();
    if (!application || QThread::currentThread() != application->thread()) {
        work(cancel);
        return;
    }

    QEventLoop loop;
    std::thread worker([&] {
        work(cancel);
        // Queued, so a quit posted before the loop runs still ends it.
        QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
    });
    loop.exec();
    // The loop also ends when the application leaves all its loops (Exit);
    // the work is then asked to stop rather than awaited in full.
    cancel = true;
    worker.join();
}
