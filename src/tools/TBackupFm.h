#pragma once

#include "store/LoginContext.h"

#include <QDialog>
#include <atomic>

class QLineEdit;
class QProgressBar;
class QPushButton;

// "备份数据": a verified backup of the shop's data into a file of the
// administrator's choice, while the other workstations go on working.
class TBackupFm : public QDialog {
    Q_OBJECT
public:
    explicit TBackupFm(const LoginContext& login, QWidget* parent = nullptr);

    QLineEdit* fileBox() const { return m_file; }
    QPushButton* backupButton() const { return m_backup; }

    void reject() override;

private:
    void backUp();
    void setRunning(bool running);

    const LoginContext& m_login;
    QLineEdit* m_file;
    QPushButton* m_browse;
    QPushButton* m_backup;
    QPushButton* m_close;
    QProgressBar* m_progress;
    std::atomic<bool> m_stop = false;
    bool m_running = false;
};
