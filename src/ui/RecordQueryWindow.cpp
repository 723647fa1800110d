#include "ui/RecordQueryWindow.h"

#include "ui/Prompt.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>
#include <QTableView>
#include <QToolBar>
#include <QVBoxLayout>

namespace {

QDateEdit* picker(const QDate& day, QWidget* parent) {
    auto* edit = new QDateEdit(day, parent);
    edit->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
    edit->setCalendarPopup(true);
    edit->setEnabled(false);
    edit->setMinimumWidth(edit->fontMetrics().horizontalAdvance(QStringLiteral("0000-00-00")) + 40);
    return edit;
}

} // namespace

RecordQueryWindow::RecordQueryWindow(const Form& form, QWidget* parent)
    : QDialog(parent), m_toolbar(new QToolBar(this)), m_grid(new DataGrid(this)) {
    setWindowTitle(form.title);
    setWindowFlag(Qt::WindowMaximizeButtonHint);
    m_toolbar->setToolButtonStyle(Qt::ToolButtonTextOnly);
    connect(m_toolbar->addAction(QStringLiteral("查询")), &QAction::triggered, this,
            [this] { search(); });
    connect(m_toolbar->addAction(QStringLiteral("导出Excel")), &QAction::triggered, this,
            [this] { exportList(); });
    connect(m_toolbar->addAction(QStringLiteral("打印")), &QAction::triggered, this,
            [this] { printList(); });
    connect(m_toolbar->addAction(QStringLiteral("退出")), &QAction::triggered, this,
            &QDialog::reject);

    auto* panel = new QGroupBox(this);
    auto* filters = new QGridLayout(panel);
    // Text boxes three to a line, label beside box.
    for (int i = 0; i < form.textCaptions.size(); ++i) {
        auto* box = new QLineEdit(panel);
        filters->addWidget(new QLabel(form.textCaptions.at(i), panel), i / 3, (i % 3) * 2);
        filters->addWidget(box, i / 3, (i % 3) * 2 + 1);
        m_texts << box;
        connect(box, &QLineEdit::returnPressed, this, [this] { search(); });
    }
    int line = (int(form.textCaptions.size()) + 2) / 3;
    for (int i = 0; i < form.rangeCaptions.size(); ++i, ++line) {
        auto* box = new QCheckBox(form.rangeCaptions.at(i), panel);
        QDateEdit* from = picker(form.rangeFrom, panel);
        QDateEdit* to = picker(form.rangeTo, panel);
        auto* row = new QHBoxLayout;
        row->addWidget(from);
        row->addWidget(new QLabel(QStringLiteral("至"), panel));
        row->addWidget(to);
        row->addStretch(1);
        filters->addWidget(box, line, 0);
        filters->addLayout(row, line, 1, 1, 3);
        connect(box, &QCheckBox::toggled, from, &QWidget::setEnabled);
        connect(box, &QCheckBox::toggled, to, &QWidget::setEnabled);
        m_rangeBoxes << box;
        m_from << from;
        m_to << to;
    }
    if (!form.choices.isEmpty()) {
        m_choice = new QComboBox(panel);
        m_choice->addItems(form.choices);
        m_choice->setCurrentIndex(0);
        const int choiceLine = form.rangeCaptions.isEmpty() ? line : line - 1;
        filters->addWidget(new QLabel(form.choiceCaption, panel), choiceLine, 4);
        filters->addWidget(m_choice, choiceLine, 5);
    }
    filters->setColumnStretch(1, 1);
    filters->setColumnStretch(3, 1);
    filters->setColumnStretch(5, 1);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 0, 6, 6);
    layout->addWidget(m_toolbar);
    layout->addWidget(panel);
    layout->addWidget(m_grid, 1);
    resize(980, 600);
}

QAction* RecordQueryWindow::tool(const QString& caption) const {
    for (QAction* action : m_toolbar->actions())
        if (action->text() == caption)
            return action;
    return nullptr;
}

RecordQueryWindow::Input RecordQueryWindow::input() const {
    Input in;
    for (const QLineEdit* box : m_texts)
        in.texts << box->text();
    for (int i = 0; i < m_rangeBoxes.size(); ++i) {
        if (m_rangeBoxes.at(i)->isChecked())
            in.ranges << Range{m_from.at(i)->date(), m_to.at(i)->date()};
        else
            in.ranges << std::nullopt;
    }
    if (m_choice)
        in.choice = m_choice->currentText();
    return in;
}

bool RecordQueryWindow::showList(const ListQuery& query) {
    if (Status ran = m_grid->setQuery(query); !ran) {
        Prompt::error(this, ran.error());
        return false;
    }
    // whole dates and names in view, starting from the first column
    m_grid->view()->resizeColumnsToContents();
    m_grid->view()->horizontalScrollBar()->setValue(0);
    return true;
}

bool RecordQueryWindow::search() {
    auto query = searchQuery(input());
    if (!query) {
        Prompt::warning(this, query.error());
        return false;
    }
    if (!query.value())
        return true;
    return showList(*query.value());
}
