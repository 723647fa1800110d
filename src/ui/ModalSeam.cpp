#include "ui/ModalSeam.h"

#include <QDialog>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>

namespace {
ModalSeam* innermost = nullptr;
}

ModalSeam::ModalSeam(DesktopTag) {}

ModalSeam::ModalSeam() : m_outer(&inForce()) {
    innermost = this;
}

ModalSeam::~ModalSeam() {
    // stand-ins normally end innermost first; one that ends out of turn is
    // taken out of the chain where it stands
    if (innermost == this) {
        innermost = m_outer == &desktop() ? nullptr : m_outer;
        return;
    }
    for (ModalSeam* inner = innermost; inner; inner = inner->m_outer) {
        if (inner->m_outer == this) {
            inner->m_outer = m_outer;
            return;
        }
    }
}

ModalSeam& ModalSeam::desktop() {
    static ModalSeam shown{DesktopTag{}};
    return shown;
}

ModalSeam& ModalSeam::inForce() {
    return innermost ? *innermost : desktop();
}

int ModalSeam::run(QDialog* dialog) {
    ModalSeam& seam = inForce();
    if (&seam == &desktop())
        return dialog->exec();
    QPointer<QDialog> guard(dialog);
    dialog->setWindowModality(Qt::ApplicationModal);
    dialog->setResult(QDialog::Rejected);
    dialog->show();
    seam.window(dialog);
    if (!guard)
        return QDialog::Rejected;
    const int result = dialog->result();
    if (dialog->isVisible())
        dialog->hide();
    return result;
}

void ModalSeam::message(QWidget* parent, Kind kind, const QString& caption, const QString& text) {
    if (m_outer)
        return m_outer->message(parent, kind, caption, text);
    const QMessageBox::Icon icon = kind == Kind::Error     ? QMessageBox::Critical
                                   : kind == Kind::Warning ? QMessageBox::Warning
                                                           : QMessageBox::Information;
    QMessageBox box(icon, caption, text, QMessageBox::NoButton, parent);
    box.addButton(QStringLiteral("确定"), QMessageBox::AcceptRole);
    box.exec();
}

bool ModalSeam::question(QWidget* parent, const QString& caption, const QString& text) {
    if (m_outer)
        return m_outer->question(parent, caption, text);
    QMessageBox box(QMessageBox::Question, caption, text, QMessageBox::NoButton, parent);
    QPushButton* yes = box.addButton(QStringLiteral("是(&Y)"), QMessageBox::YesRole);
    QPushButton* no = box.addButton(QStringLiteral("否(&N)"), QMessageBox::NoRole);
    box.setDefaultButton(yes);
    box.setEscapeButton(no);
    box.exec();
    return box.clickedButton() == yes;
}

std::optional<QString> ModalSeam::text(QWidget* parent, const QString& caption,
                                       const QString& label, const QString& initial) {
    if (m_outer)
        return m_outer->text(parent, caption, label, initial);
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

QString ModalSeam::saveFileName(QWidget* parent, const QString& caption,
                                const QString& suggestedName, const QString& filter) {
    if (m_outer)
        return m_outer->saveFileName(parent, caption, suggestedName, filter);
    return QFileDialog::getSaveFileName(parent, caption, suggestedName, filter);
}

QString ModalSeam::openFileName(QWidget* parent, const QString& caption, const QString& filter) {
    if (m_outer)
        return m_outer->openFileName(parent, caption, filter);
    return QFileDialog::getOpenFileName(parent, caption, QString(), filter);
}

void ModalSeam::window(QDialog* dialog) {
    if (m_outer)
        return m_outer->window(dialog);
    dialog->exec();
}
