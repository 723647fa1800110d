#include "ui/ModalRunner.h"

#include <QPointer>

namespace {
ModalRunner::Runner installed;
}

int ModalRunner::run(QDialog* dialog) {
    if (!installed)
        return dialog->exec();
    QPointer<QDialog> guard(dialog);
    // Shown and modal as exec() would have it, so the runner sees a live window.
    dialog->setWindowModality(Qt::ApplicationModal);
    dialog->setResult(QDialog::Rejected);
    dialog->show();
    Runner runner = installed; // a scope may end inside the runner
    runner(dialog);
    if (!guard)
        return QDialog::Rejected;
    const int result = dialog->result();
    if (dialog->isVisible())
        dialog->hide();
    return result;
}

ModalRunner::Scope::Scope(Runner runner) : m_previous(std::move(installed)) {
    installed = std::move(runner);
}

ModalRunner::Scope::~Scope() {
    installed = std::move(m_previous);
}
