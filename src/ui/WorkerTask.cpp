#include "ui/WorkerTask.h"

#include <QEventLoop>
#include <QProgressBar>
#include <QThread>
#include <QTimer>
#include <memory>

namespace WorkerTask {

Status run(const Work& work, QProgressBar* bar, const std::atomic<bool>& stop) {
    std::atomic<int> percent = 0;
    Status outcome;
    std::unique_ptr<QThread> worker(QThread::create([&] {
        outcome = work([&](int reached) {
            percent = reached;
            return !stop.load();
        });
    }));
    QEventLoop loop;
    QObject::connect(worker.get(), &QThread::finished, &loop, &QEventLoop::quit);
    QTimer shown;
    if (bar) {
        bar->setRange(0, 100);
        QObject::connect(&shown, &QTimer::timeout, bar, [&] { bar->setValue(percent.load()); });
        shown.start(100);
    }
    worker->start();
    loop.exec();
    // joined: what the worker wrote is seen from here on
    worker->wait();
    if (bar)
        bar->setValue(percent.load());
    return outcome;
}

} // namespace WorkerTask
