#pragma once

#include <QHash>
#include <QStringList>
#include <QWidget>

class GridModel;
class QLabel;
class QTableView;

// The footer under a grid: the row count under one column and sums under
// others, each figure under its own column, never cut (its column makes
// room for it), and one whose column lies out of view kept in view at the
// footer's edge, named by its column's caption. The figures are the
// model's; until they are read the footer stays empty.
class GridFooter : public QWidget {
public:
    GridFooter(QTableView* view, GridModel* model, QWidget* parent);

    // An empty countColumn and no sums: no footer.
    void setColumns(const QString& countColumn, const QStringList& sumColumns);
    const QString& countColumn() const { return m_countColumn; }
    // A column's figure as shown ("共3条", "45.8334"), read when still to come.
    QString figureText(const QString& column) const;
    // Lays the figures out under their columns.
    void layOut();

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void showFigures();

    QTableView* m_view;
    GridModel* m_model;
    QString m_countColumn;
    QStringList m_columns; // the count's first, then the sums
    QHash<QString, QLabel*> m_labels;
};
