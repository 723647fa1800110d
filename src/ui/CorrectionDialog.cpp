#include "ui/CorrectionDialog.h"

#include "ui/FormParts.h"
#include "ui/Prompt.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

CorrectionDialog::CorrectionDialog(const QString& title, QWidget* parent)
    : QDialog(parent), m_form(new QFormLayout), m_ok(new QPushButton(QStringLiteral("确定"))),
      m_cancel(new QPushButton(QStringLiteral("取消"))) {
    setWindowTitle(title);
    // left through "确定" or "取消" only
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    m_ok->setAutoDefault(false);
    m_cancel->setAutoDefault(false);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_ok);
    buttons->addWidget(m_cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(m_form);
    layout->addLayout(buttons);
    connect(m_ok, &QPushButton::clicked, this, &CorrectionDialog::confirm);
    connect(m_cancel, &QPushButton::clicked, this, &QDialog::reject);
}

void CorrectionDialog::addBox(const QString& caption, QLineEdit* box) {
    FormParts::selectAllOnClick(box);
    m_form->addRow(caption + u':', box);
    m_boxes << box;
}

void CorrectionDialog::confirm() {
    for (const QLineEdit* box : std::as_const(m_boxes)) {
        if (box->text().trimmed().isEmpty()) {
            Prompt::information(this, QStringLiteral("填写数量!"));
            return;
        }
    }
    if (Status saved = save(); !saved) {
        Prompt::error(this, saved.error());
        return;
    }
    accept();
}
