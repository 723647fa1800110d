#include "ui/FormParts.h"

#include "ui/TextLimits.h"

#include <QAction>
#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>

namespace {

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

// Enter on a focused toolbar button presses it, as Space does.
class EnterPresses : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent*>(event)->key();
            auto* button = qobject_cast<QToolButton*>(watched);
            if (button && button->isEnabled() && (key == Qt::Key_Return || key == Qt::Key_Enter)) {
                if (QAction* action = button->defaultAction())
                    action->trigger();
                else
                    button->click();
                return true;
            }
        }
        return QObject::eventFilter(watched, event);
    }
};

} // namespace

namespace FormParts {

void reachByKeyboard(QToolBar* toolbar) {
    const QString name = QStringLiteral("enterPresses");
    QObject* presses = toolbar->findChild<QObject*>(name, Qt::FindDirectChildrenOnly);
    if (!presses) {
        presses = new EnterPresses(toolbar);
        presses->setObjectName(name);
    }
    for (QAction* action : toolbar->actions()) {
        QWidget* button = toolbar->widgetForAction(action);
        if (!button || button->property("enterPresses").toBool())
            continue;
        button->setProperty("enterPresses", true);
        button->setFocusPolicy(Qt::TabFocus);
        button->installEventFilter(presses);
    }
}

QLabel* boldLabel(const QString& text) {
    auto* label = new QLabel(text);
    QFont font = label->font();
    font.setBold(true);
    label->setFont(font);
    return label;
}

QComboBox* choiceBox(const QStringList& items) {
    auto* box = new QComboBox;
    box->setEditable(true);
    box->setInsertPolicy(QComboBox::NoInsert);
    box->addItems(items);
    box->setEditText(QString());
    return box;
}

QComboBox* choiceBox(const QString& table, const QString& column) {
    QComboBox* box = choiceBox();
    limitToColumn(box, table, column);
    return box;
}

QLineEdit* textBox(const QString& table, const QString& column) {
    auto* box = new QLineEdit;
    limitToColumn(box, table, column);
    return box;
}

void setChoices(QComboBox* box, const QStringList& items) {
    const QString shown = box->currentText();
    box->clear();
    box->addItems(items);
    box->setEditText(shown);
}

void selectAllOnClick(QLineEdit* box) {
    box->installEventFilter(new SelectAllOnClick(box));
}

FormGrid::FormGrid() : m_grid(new QGridLayout) {
    m_grid->setColumnStretch(1, 1);
    m_grid->setColumnStretch(3, 1);
}

void FormGrid::place(const QString& caption, QWidget* box, Need need) {
    const int line = m_next / 2;
    const int pair = (m_next % 2) * 2;
    m_grid->addWidget(need == Need::Required ? boldLabel(caption) : new QLabel(caption), line,
                      pair);
    m_grid->addWidget(box, line, pair + 1);
    ++m_next;
}

void FormGrid::placeWide(const QString& caption, QWidget* box) {
    nextLine();
    const int line = m_next / 2;
    m_grid->addWidget(new QLabel(caption), line, 0, Qt::AlignTop);
    m_grid->addWidget(box, line, 1, 1, 3);
    m_next += 2;
}

void FormGrid::addSpanning(QWidget* widget) {
    m_grid->addWidget(widget, m_next / 2, (m_next % 2) * 2, 1, 2);
    ++m_next;
}

void FormGrid::addLine(QLayout* line) {
    nextLine();
    m_grid->addLayout(line, m_next / 2, 0, 1, 4);
    m_next += 2;
}

void FormGrid::nextLine() {
    m_next += m_next % 2;
}

} // namespace FormParts
