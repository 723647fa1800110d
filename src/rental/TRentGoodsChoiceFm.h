#pragma once

#include "rental/core/RentalLookup.h"

#include <QDialog>

class QTableWidget;
class QLabel;
class QPushButton;

// "选择商品": picks one of several available copies whose barcode contains
// the scanned fragment. Double-click or "确定" puts the current row's barcode
// into `chosen`; "取消" (or Esc) empties it. The window has no close box.
// When the fragment matched more copies than are listed, a note says so.
class TRentGoodsChoiceFm : public QDialog {
    Q_OBJECT
public:
    TRentGoodsChoiceFm(const QList<RentalLookup::Copy>& copies, bool more, QString& chosen,
                       QWidget* parent);

    QTableWidget* grid() const { return m_grid; }
    QPushButton* okButton() const { return m_ok; }
    QPushButton* cancelButton() const { return m_cancel; }
    QLabel* moreNote() const { return m_more; }

    void reject() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void choose();
    QString& m_chosen;
    QTableWidget* m_grid = nullptr;
    QPushButton* m_ok = nullptr;
    QPushButton* m_cancel = nullptr;
    QLabel* m_more = nullptr;
};
