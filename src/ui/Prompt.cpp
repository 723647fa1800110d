#include "ui/Prompt.h"

#include "ui/PromptRecorder.h"

#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>

namespace {

using Kind = PromptRecorder::Kind;

void showBox(QWidget* parent, QMessageBox::Icon icon, Kind kind, const QString& text,
             const QString& caption) {
    if (PromptRecorder* recorder = PromptRecorder::active()) {
        recorder->record(kind, caption, text);
        return;
    }
    QMessageBox box(icon, caption, text, QMessageBox::NoButton, parent);
    box.addButton(QStringLiteral("确定"), QMessageBox::AcceptRole);
    box.exec();
}

} // namespace

void Prompt::information(QWidget* parent, const QString& text, const QString& caption) {
    showBox(parent, QMessageBox::Information, Kind::Information, text, caption);
}

void Prompt::warning(QWidget* parent, const QString& text, const QString& caption) {
    showBox(parent, QMessageBox::Warning, Kind::Warning, text, caption);
}

void Prompt::error(QWidget* parent, const QString& text, const QString& caption) {
    showBox(parent, QMessageBox::Critical, Kind::Error, text, caption);
}

bool Prompt::question(QWidget* parent, const QString& text, const QString& caption) {
    if (PromptRecorder* recorder = PromptRecorder::active()) {
        recorder->record(Kind::Question, caption, text);
        return recorder->takeAnswer();
    }
    QMessageBox box(QMessageBox::Question, caption, text, QMessageBox::NoButton, parent);
    QPushButton* yes = box.addButton(QStringLiteral("是(&Y)"), QMessageBox::YesRole);
    QPushButton* no = box.addButton(QStringLiteral("否(&N)"), QMessageBox::NoRole);
    box.setDefaultButton(yes);
    box.setEscapeButton(no);
    box.exec();
    return box.clickedButton() == yes;
}

std::optional<QString> Prompt::text(QWidget* parent, const QString& caption, const QString& label,
                                    const QString& initial) {
    if (PromptRecorder* recorder = PromptRecorder::active()) {
        recorder->record(Kind::Text, caption, label);
        return recorder->takeText();
    }
    QInputDialog dialog(parent);
    dialog.setWindowTitle(caption);
    dialog.setLabelText(label);
    dialog.setTextValue(initial);
    dialog.setOkButtonText(QStringLiteral("确定"));
    dialog.setCancelButtonText(QStringLiteral("取消"));
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.textValue();
}

QString Prompt::saveFileName(QWidget* parent, const QString& caption, const QString& suggestedName,
                             const QString& filter) {
    if (PromptRecorder* recorder = PromptRecorder::active()) {
        recorder->record(Kind::FileName, caption, suggestedName);
        return recorder->takeFileName();
    }
    return QFileDialog::getSaveFileName(parent, caption, suggestedName, filter);
}

QString Prompt::openFileName(QWidget* parent, const QString& caption, const QString& filter) {
    if (PromptRecorder* recorder = PromptRecorder::active()) {
        recorder->record(Kind::FileName, caption, filter);
        return recorder->takeFileName();
    }
    return QFileDialog::getOpenFileName(parent, caption, QString(), filter);
}
