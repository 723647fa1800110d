#include "app/TMFm.h"

#include "app/MainActions.h"
#include "ui/Prompt.h"

#include <QAction>
#include <QCloseEvent>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPixmap>
#include <QShowEvent>
#include <QStatusBar>
#include <QToolBar>

namespace {

const QString ExitQuestion = QStringLiteral("确认要退出吗?");
const QString ExitCaption = QStringLiteral("请确认");

// A 32 by 32 toolbar picture: one character on a coloured tile.
QIcon toolIcon(const QString& glyph, const QColor& colour) {
    QPixmap picture(32, 32);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setBrush(colour);
    painter.setPen(Qt::NoPen);
    painter.drawRoundedRect(QRectF(1, 1, 30, 30), 6, 6);
    QFont font = painter.font();
    font.setPixelSize(19);
    font.setBold(true);
    painter.setFont(font);
    painter.setPen(Qt::white);
    painter.drawText(QRect(0, 0, 32, 32), Qt::AlignCenter, glyph);
    return QIcon(picture);
}

} // namespace

TMFm::TMFm(const LoginContext& login, QWidget* parent) : QMainWindow(parent), m_login(login) {
    setObjectName(QStringLiteral("TMFm"));
    resize(1024, 720);
    buildMenus();
    buildToolBar();
    for (int i = 0; i < 4; ++i) {
        auto* panel = new QLabel(this);
        panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        panel->setContentsMargins(4, 0, 4, 0);
        statusBar()->addWidget(panel, i == 3 ? 2 : 1);
        m_panels << panel;
    }
}

void TMFm::buildMenus() {
    QMenu* menu = nullptr;
    std::optional<MainMenu> current;
    for (const MainAction& entry : mainActions()) {
        if (current != entry.menu) {
            current = entry.menu;
            menu = menuBar()->addMenu(menuCaption(entry.menu));
        }
        QAction* action = menu->addAction(entry.caption);
        action->setObjectName(QStringLiteral("menu:") + entry.caption);
        if (entry.kind == MainAction::Kind::Exit)
            menu->insertSeparator(action);
        const MainAction* item = &entry;
        connect(action, &QAction::triggered, this, [this, item] { run(*item); });
    }
}

void TMFm::buildToolBar() {
    static const QList<QColor> colours = {"#2e7d32", "#1565c0", "#ef6c00", "#00838f", "#6a1b9a",
                                          "#ad1457", "#4e342e", "#283593", "#c62828", "#616161"};
    QToolBar* bar = addToolBar(QStringLiteral("常用功能"));
    bar->setObjectName(QStringLiteral("toolbar"));
    bar->setMovable(false);
    bar->setIconSize(QSize(32, 32));
    bar->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    int index = 0;
    for (const ToolButton& button : toolButtons()) {
        const MainAction* item = findMainAction(button.menuItem);
        QAction* action = bar->addAction(
            toolIcon(button.glyph, colours.value(index++ % colours.size())), button.caption);
        action->setObjectName(QStringLiteral("tool:") + button.caption);
        connect(action, &QAction::triggered, this, [this, item] { run(*item); });
    }
}

void TMFm::run(const MainAction& action) {
    if (action.gate && !m_login.may(*action.gate)) {
        Prompt::information(this, action.refusal);
        return;
    }
    switch (action.kind) {
    case MainAction::Kind::Open:
        action.open(*this, m_login);
        break;
    case MainAction::Kind::Exit:
        confirmExit();
        break;
    }
}

QAction* TMFm::menuAction(const QString& caption) const {
    return findChild<QAction*>(QStringLiteral("menu:") + caption);
}

QAction* TMFm::toolAction(const QString& caption) const {
    return findChild<QAction*>(QStringLiteral("tool:") + caption);
}

void TMFm::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (!event->spontaneous())
        formShow();
}

void TMFm::formShow() {
    const ShopConfig& config = m_login.config;
    setWindowTitle(config.softName);
    m_panels[0]->setText(QStringLiteral("管理员: ") + m_login.adminName);
    m_panels[1]->setText(config.company);
    m_panels[2]->setText(config.tel);
    m_panels[3]->setText(QStringLiteral("网址: ") + config.web + QStringLiteral("   邮件: ") +
                         config.email);
}

void TMFm::confirmExit() {
    if (!Prompt::question(this, ExitQuestion, ExitCaption))
        return;
    m_exitConfirmed = true;
    close();
}

void TMFm::closeEvent(QCloseEvent* event) {
    if (!m_exitConfirmed && !Prompt::question(this, ExitQuestion, ExitCaption)) {
        event->ignore();
        return;
    }
    event->accept();
    Q_EMIT exited();
}
