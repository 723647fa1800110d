#include "output/ListOutput.h"

#include "output/BandReport.h"
#include "output/TDmFm.h"
#include "output/core/ExcelExport.h"
#include "store/Clock.h"
#include "ui/ModalSeam.h"
#include "ui/Prompt.h"

#include <QDir>
#include <QEvent>
#include <QFileInfo>
#include <QGuiApplication>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QProgressDialog>
#include <QScreen>

namespace {

const QString ErrorCaption = QStringLiteral("错误");

QString freshPath(const QString& folder, const QString& baseName) {
    const QString stem = (baseName.isEmpty() ? QStringLiteral("导出") : baseName) + u'_' +
                         Clock::now().toString(QStringLiteral("yyyyMMdd_hhmmss"));
    QString path = folder + u'/' + stem + QStringLiteral(".xlsx");
    for (int n = 2; QFileInfo::exists(path); ++n)
        path = folder + u'/' + stem + QStringLiteral("_%1.xlsx").arg(n);
    return path;
}

QMargins marginsOf(const QWidget& window) {
    const QRect frame = window.frameGeometry();
    const QRect client = window.geometry();
    return {client.left() - frame.left(), client.top() - frame.top(),
            frame.right() - client.right(), frame.bottom() - client.bottom()};
}

// Keeps a top-level window inside the screen's available area, frame and
// title bar included. Before it is shown the window system may not know
// its frame yet: then the window is placed for a usual frame, and placed
// again when the real frame is known.
class FitToScreen : public QObject {
public:
    FitToScreen(QWidget* window, const QRect& available)
        : QObject(window), m_window(window), m_available(available) {
        const QMargins known = marginsOf(*window);
        place(known.isNull() ? QMargins(4, 32, 4, 4) : known);
        window->installEventFilter(this);
    }

    bool eventFilter(QObject* watched, QEvent* event) override {
        const QEvent::Type type = event->type();
        if (watched == m_window && m_placings < 4 &&
            (type == QEvent::Show || type == QEvent::Move || type == QEvent::Resize)) {
            const QMargins frame = marginsOf(*m_window);
            if (!frame.isNull() && frame != m_frame)
                place(frame);
        }
        return QObject::eventFilter(watched, event);
    }

private:
    void place(const QMargins& frame) {
        ++m_placings;
        m_frame = frame;
        m_window->setGeometry(ListOutput::previewGeometry(m_available, frame));
    }

    QWidget* m_window;
    QRect m_available;
    QMargins m_frame;
    int m_placings = 0;
};

// Shows the preview of a report; render paints it on the preview's printer
// whenever the preview asks (at first and after a page setup change).
void preview(
    QWidget* parent, const QString& caption, const ListQuery& query,
    const std::function<Result<BandReport::Outcome>(QPrinter&, const BandReport::Progress&)>&
        render) {
    const auto total = ExcelExport::countRows(query);
    const qint64 rows = total ? total.value() : 0;
    QPrinter printer(QPrinter::HighResolution);
    BandReport::setUpPage(printer);
    printer.setDocName(caption);
    QPrintPreviewDialog dialog(&printer, parent, Qt::Window);
    dialog.setWindowTitle(caption + QStringLiteral(" - 打印预览"));
    const QScreen* screen = parent ? parent->screen() : QGuiApplication::primaryScreen();
    new FitToScreen(&dialog, screen ? screen->availableGeometry() : QRect(0, 0, 900, 1000));
    QObject::connect(&dialog, &QPrintPreviewDialog::paintRequested, &dialog, [&](QPrinter* p) {
        QProgressDialog progress(QStringLiteral("正在准备打印..."), QStringLiteral("取消"), 0,
                                 int(std::min<qint64>(rows, INT_MAX)), &dialog);
        progress.setWindowTitle(caption);
        progress.setWindowModality(Qt::WindowModal);
        progress.setMinimumDuration(500);
        auto outcome = render(*p, [&](qint64 done) {
            progress.setValue(int(std::min<qint64>(done, progress.maximum())));
            return !progress.wasCanceled();
        });
        progress.close();
        if (!outcome)
            Prompt::error(&dialog, QStringLiteral("打印失败：") + outcome.error(), ErrorCaption);
    });
    ModalSeam::run(&dialog);
}

} // namespace

namespace ListOutput {

QRect previewGeometry(const QRect& available, const QMargins& frame) {
    const QRect room = available.marginsRemoved(frame);
    QRect client(QPoint(), QSize(900, 1000).boundedTo(room.size()));
    client.moveCenter(room.center());
    return client;
}

QString exportToExcel(QWidget* parent, const ListQuery& query, const QString& baseName) {
    TDmFm& dm = TDmFm::current();
    if (!QDir().mkpath(dm.exportFolder)) {
        Prompt::error(parent,
                      QStringLiteral("不能创建导出文件夹：") +
                          QDir::toNativeSeparators(dm.exportFolder),
                      ErrorCaption);
        return {};
    }
    const QString path = freshPath(dm.exportFolder, baseName);
    const auto total = ExcelExport::countRows(query);
    const qint64 rows = total ? total.value() : 0;

    QProgressDialog progress(QStringLiteral("正在导出到Excel..."), QStringLiteral("取消"), 0,
                             int(std::min<qint64>(rows, INT_MAX)), parent);
    progress.setWindowTitle(QStringLiteral("导出Excel"));
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(500);
    progress.setAutoClose(false);
    progress.setAutoReset(false);
    auto outcome = ExcelExport::ExportQueryToExcel(query, path, [&](qint64 written) {
        progress.setValue(int(std::min<qint64>(written, progress.maximum())));
        return !progress.wasCanceled();
    });
    progress.close();
    if (!outcome) {
        Prompt::error(parent, QStringLiteral("导出Excel失败：") + outcome.error(), ErrorCaption);
        return {};
    }
    if (outcome->cancelled)
        return {};
    if (!dm.openFile(path)) {
        Prompt::error(parent,
                      QStringLiteral("系统没excel，不能导出Excel！\n文件已保存在：") +
                          QDir::toNativeSeparators(path),
                      ErrorCaption);
    }
    return path;
}

void printList(QWidget* parent, ReportTemplate which, const ListQuery& query) {
    preview(parent, listTemplate(which).name, query,
            [&](QPrinter& printer, const BandReport::Progress& progress) {
                return BandReport::renderList(printer, which, query, progress);
            });
}

void printLabels(QWidget* parent, LabelKind which, const ListQuery& query) {
    preview(parent, labelTemplate(which).name, query,
            [&](QPrinter& printer, const BandReport::Progress& progress) {
                return BandReport::renderLabels(printer, which, query, progress);
            });
}

} // namespace ListOutput
