#include "members/THyMoneyModifyFm.h"

#include "ui/NumberEdit.h"
#include "ui/Prompt.h"

#include <QEvent>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace {

// Selects the whole text of a box when it is clicked.
class SelectAllOnClick : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::MouseButtonRelease) {
            if (auto* edit = qobject_cast<QLineEdit*>(watched))
                QTimer::singleShot(0, edit, &QLineEdit::selectAll);
        }
        return QObject::eventFilter(watched, event);
    }
};

} // namespace

THyMoneyModifyFm::THyMoneyModifyFm(const LoginContext& login, const Member& asRead,
                                   const Member& edited, QWidget* parent)
    : QDialog(parent), m_login(login), m_asRead(asRead), m_edited(edited) {
    setWindowTitle(QStringLiteral("会员-金额,积分"));
    // left through "确定" or "取消" only
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);

    // plain boxes: a balance may be corrected to below zero
    m_balance = new QLineEdit;
    m_balance->installEventFilter(new SelectAllOnClick(m_balance));
    m_points = new QLineEdit;
    m_balance->setText(edited.balance.toString());
    m_points->setText(edited.points.toString());
    m_ok = new QPushButton(QStringLiteral("确定"));
    m_cancel = new QPushButton(QStringLiteral("取消"));
    m_ok->setAutoDefault(false);
    m_cancel->setAutoDefault(false);

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("卡内金额:"), m_balance);
    form->addRow(QStringLiteral("会员积分:"), m_points);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_ok);
    buttons->addWidget(m_cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addLayout(buttons);

    connect(m_ok, &QPushButton::clicked, this, &THyMoneyModifyFm::confirm);
    connect(m_cancel, &QPushButton::clicked, this, &QDialog::reject);
    resize(280, 130);
}

void THyMoneyModifyFm::confirm() {
    if (m_balance->text().trimmed().isEmpty() || m_points->text().trimmed().isEmpty()) {
        Prompt::information(this, QStringLiteral("填写数量!"));
        return;
    }
    auto balance = NumberEdit::parseMoney(m_balance->text().trimmed(), QStringLiteral("卡内金额"),
                                          std::nullopt);
    auto points = NumberEdit::parseMoney(m_points->text().trimmed(), QStringLiteral("会员积分"),
                                         std::nullopt);
    if (!balance || !points) {
        Prompt::error(this, !balance ? balance.error() : points.error());
        return;
    }
    Member corrected = m_edited;
    corrected.balance = balance.value();
    corrected.points = points.value();
    if (Status saved = MemberBookings::correct(Db(m_login.connectionName), m_asRead, corrected,
                                               m_login.adminName);
        !saved) {
        Prompt::error(this, saved.error());
        return;
    }
    m_edited = corrected;
    accept();
}
