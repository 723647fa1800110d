#pragma once

#include "store/LoginContext.h"

#include <QDialog>
#include <QList>

class QCheckBox;
class QProgressBar;
class QPushButton;

// 清理数据: empties the chosen tables after the initialisation password,
// all of them or none, then tells what was deleted. The deleting runs off
// the window's thread, its progress shown in the window, which cannot be
// closed meanwhile.
class TCleanDataFm : public QDialog {
    Q_OBJECT
public:
    explicit TCleanDataFm(const LoginContext& login, QWidget* parent = nullptr);

    // The eleven boxes in their order.
    const QList<QCheckBox*>& boxes() const { return m_boxes; }
    QPushButton* okButton() const { return m_ok; }
    QPushButton* backButton() const { return m_back; }
    QProgressBar* progressBar() const { return m_progress; }

    void reject() override;

private:
    void clean();
    void setRunning(bool running);

    const LoginContext& m_login;
    QList<QCheckBox*> m_boxes;
    QPushButton* m_ok;
    QPushButton* m_back;
    QProgressBar* m_progress;
    bool m_running = false;
};
