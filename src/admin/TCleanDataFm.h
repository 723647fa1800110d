#pragma once

#include "store/LoginContext.h"

#include <QDialog>
#include <QList>

class QCheckBox;
class QPushButton;

// 清理数据: empties the chosen tables after the initialisation password,
// all of them or none, then tells what was deleted.
class TCleanDataFm : public QDialog {
    Q_OBJECT
public:
    explicit TCleanDataFm(const LoginContext& login, QWidget* parent = nullptr);

    // The eleven boxes in their order.
    const QList<QCheckBox*>& boxes() const { return m_boxes; }
    QPushButton* okButton() const { return m_ok; }
    QPushButton* backButton() const { return m_back; }

private:
    void clean();

    const LoginContext& m_login;
    QList<QCheckBox*> m_boxes;
    QPushButton* m_ok;
    QPushButton* m_back;
};
