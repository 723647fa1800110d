#include "ui/GridFooter.h"

#include "ui/GridModel.h"

#include <QHeaderView>
#include <QLabel>
#include <QScrollBar>
#include <QTableView>

GridFooter::GridFooter(QTableView* view, GridModel* model, QWidget* parent)
    : QWidget(parent), m_view(view), m_model(model) {
    setFixedHeight(view->fontMetrics().height() + 8);
    hide();
    QHeaderView* header = view->horizontalHeader();
    connect(header, &QHeaderView::sectionResized, this, &GridFooter::layOut);
    connect(header, &QHeaderView::sectionMoved, this, &GridFooter::layOut);
    connect(header, &QHeaderView::geometriesChanged, this, &GridFooter::layOut);
    connect(view->horizontalScrollBar(), &QScrollBar::valueChanged, this, &GridFooter::layOut);
    connect(model, &GridModel::footerChanged, this, &GridFooter::showFigures);
}

void GridFooter::setColumns(const QString& countColumn, const QStringList& sumColumns) {
    qDeleteAll(m_labels);
    m_labels.clear();
    m_countColumn = countColumn;
    m_columns = sumColumns;
    if (!countColumn.isEmpty())
        m_columns.prepend(countColumn);
    for (const QString& column : std::as_const(m_columns)) {
        auto* label = new QLabel(this);
        label->setObjectName(QStringLiteral("footer:") + column);
        label->setAlignment(column == countColumn ? Qt::AlignLeft | Qt::AlignVCenter
                                                  : Qt::AlignRight | Qt::AlignVCenter);
        label->setContentsMargins(4, 0, 4, 0);
        label->setAutoFillBackground(true); // a figure kept in view covers what it lies on
        m_labels.insert(column, label);
    }
    m_model->setFooterColumns(!countColumn.isEmpty(), sumColumns);
    setVisible(!m_columns.isEmpty());
}

QString GridFooter::figureText(const QString& column) const {
    if (column == m_countColumn)
        return QStringLiteral("共%1条").arg(m_model->footer().count);
    if (m_columns.contains(column))
        return m_model->footer().sums.value(column).toString();
    return {};
}

void GridFooter::showFigures() {
    QHeaderView* header = m_view->horizontalHeader();
    for (auto it = m_labels.cbegin(); it != m_labels.cend(); ++it) {
        const QString figure = m_model->hasFigures() ? figureText(it.key()) : QString();
        QLabel* label = it.value();
        label->setProperty("figure", figure);
        label->setText(figure);
        // a figure is never cut: its column makes room for it
        const int logical = m_model->columnIndex(it.key());
        const int needed = label->sizeHint().width();
        if (!figure.isEmpty() && logical >= 0 && header->sectionSize(logical) < needed)
            header->resizeSection(logical, needed);
    }
    layOut();
}

void GridFooter::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    layOut();
}

void GridFooter::layOut() {
    if (!isVisible() && m_labels.isEmpty())
        return;
    QHeaderView* header = m_view->horizontalHeader();
    const int left = m_view->viewport()->x();
    const int right = left + m_view->viewport()->width();
    // A figure whose column is scrolled out of view, or lies beyond a
    // narrow window, stays in view at the footer's edge, named by its
    // column's caption.
    int pinnedLeft = left, pinnedRight = right;
    for (const QString& column : std::as_const(m_columns)) {
        QLabel* label = m_labels.value(column);
        const int logical = m_model->columnIndex(column);
        if (!label || logical < 0 || m_view->isColumnHidden(logical)) {
            if (label)
                label->hide();
            continue;
        }
        const QString figure = label->property("figure").toString();
        const int x = left + header->sectionViewportPosition(logical);
        const int width = header->sectionSize(logical);
        const bool beyondRight = isVisible() && x + width > right;
        const bool beyondLeft = isVisible() && x < left;
        if (figure.isEmpty() || (!beyondRight && !beyondLeft)) {
            label->setText(figure);
            label->setGeometry(x, 0, width, height());
        } else {
            label->setText(column == m_countColumn
                               ? figure
                               : m_model->headerData(logical, Qt::Horizontal).toString() + u' ' +
                                     figure);
            const int shown = label->sizeHint().width();
            if (beyondRight) {
                pinnedRight -= shown;
                label->setGeometry(pinnedRight, 0, shown, height());
            } else {
                label->setGeometry(pinnedLeft, 0, shown, height());
                pinnedLeft += shown;
            }
            label->raise();
        }
        label->show();
    }
}
