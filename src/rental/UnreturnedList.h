#pragma once

#include <QDialog>
#include <QString>

class QTableWidget;

// The body of both "未还信息" windows: the card's rents not yet returned (for
// "散客", every walk-in rent not yet returned) in a read-only grid, and
// "确定" to close.
class UnreturnedList : public QDialog {
    Q_OBJECT
public:
    UnreturnedList(const QString& connectionName, const QString& card, QWidget* parent);

    QTableWidget* grid() const { return m_grid; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    void load();
    QString m_connectionName;
    QString m_card;
    QTableWidget* m_grid = nullptr;
};
