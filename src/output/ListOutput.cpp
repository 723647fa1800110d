#include "output/ListOutput.h"

#include "output/BandReport.h"
#include "output/TDmFm.h"
#include "output/core/ExcelExport.h"
#include "store/Clock.h"

#include <QDir>
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

// Shows the preview of a report; render paints it on the preview's printer
// whenever the preview asks (at first and after a page setup change).
void preview(
    QWidget* parent, const QString& caption, const ListQuery& query,
    const std::function<Result<BandReport::Outcome>(QPrinter&, const BandReport::Progress&)>&
        render) {
    TDmFm& dm = TDmFm::current();
    const auto total = ExcelExport::countRows(query);
    const qint64 rows = total ? total.value() : 0;
    QPrinter printer(QPrinter::HighResolution);
    BandReport::setUpPage(printer);
    printer.setDocName(caption);
    QPrintPreviewDialog dialog(&printer, parent, Qt::Window);
    dialog.setWindowTitle(caption + QStringLiteral(" - 打印预览"));
    const QScreen* screen = parent ? parent->screen() : QGuiApplication::primaryScreen();
    dialog.resize(
        ListOutput::previewSize(screen ? screen->availableGeometry().size() : QSize(900, 1000)));
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
            dm.showMessage(&dialog, ErrorCaption, QStringLiteral("打印失败：") + outcome.error());
    });
    dm.runDialog(dialog);
}

} // namespace

namespace ListOutput {

QSize previewSize(const QSize& available) {
    return QSize(900, 1000).boundedTo(available);
}

QString exportToExcel(QWidget* parent, const ListQuery& query, const QString& baseName) {
    TDmFm& dm = TDmFm::current();
    if (!QDir().mkpath(dm.exportFolder)) {
        dm.showMessage(parent, ErrorCaption,
                       QStringLiteral("不能创建导出文件夹：") +
                           QDir::toNativeSeparators(dm.exportFolder));
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
        dm.showMessage(parent, ErrorCaption, QStringLiteral("导出Excel失败：") + outcome.error());
        return {};
    }
    if (outcome->cancelled)
        return {};
    if (!dm.openFile(path)) {
        dm.showMessage(parent, ErrorCaption,
                       QStringLiteral("系统没excel，不能导出Excel！\n文件已保存在：") +
                           QDir::toNativeSeparators(path));
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
