#include "ui/WaitNotice.h"

#include "store/Connection.h"
#include "store/Db.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QPointer>
#include <QProgressDialog>
#include <QThread>
#include <QTimer>

namespace {

bool onWindowThread() {
    return qApp && QThread::currentThread() == qApp->thread();
}

// Shown while a booking waits for another writer; gone once no booking has
// waited for a moment.
bool waitForWriter(int waitedMs) {
    if (!onWindowThread()) {
        QThread::msleep(100);
        return true;
    }
    static QPointer<QProgressDialog> dialog;
    static QPointer<QTimer> done;
    if (!dialog) {
        dialog = new QProgressDialog(QStringLiteral("数据库正被其他操作占用, 请稍候..."),
                                     QStringLiteral("取消"), 0, 0, QApplication::activeWindow());
        dialog->setWindowTitle(QStringLiteral("请稍候"));
        dialog->setWindowModality(Qt::ApplicationModal);
        dialog->setMinimumDuration(0);
        done = new QTimer(dialog);
        done->setSingleShot(true);
        done->setInterval(400);
        QObject::connect(done, &QTimer::timeout, dialog, &QObject::deleteLater);
    }
    if (waitedMs == 0 || dialog->wasCanceled())
        dialog->reset();
    dialog->show();
    done->start();
    QElapsedTimer slice;
    slice.start();
    while (slice.elapsed() < 100)
        QApplication::processEvents(QEventLoop::AllEvents, 20);
    return dialog && !dialog->wasCanceled();
}

void reconnecting(bool trying) {
    if (!onWindowThread())
        return;
    static QPointer<QLabel> notice;
    if (!trying) {
        delete notice;
        return;
    }
    if (!notice) {
        notice = new QLabel(QStringLiteral("正在重新连接数据库, 请稍候..."), nullptr,
                            Qt::ToolTip | Qt::FramelessWindowHint);
        notice->setMargin(12);
    }
    notice->adjustSize();
    if (QWidget* window = QApplication::activeWindow())
        notice->move(window->geometry().center() - notice->rect().center());
    notice->show();
    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

} // namespace

namespace WaitNotice {

void install() {
    Db::setBusyWaiter(waitForWriter);
    Connection::setReconnectNotice(reconnecting);
}

} // namespace WaitNotice
