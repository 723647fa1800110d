#pragma once

#include "store/LoginContext.h"

#include <QDialog>
#include <atomic>

class QLabel;
class QListWidget;
class QProgressBar;
class QPushButton;

// "恢复数据": puts a backup in place of the shop's data, all or nothing;
// the replaced data is kept aside. Afterwards the program ends: it must be
// started again on the restored data.
class TRestoreFm : public QDialog {
    Q_OBJECT
public:
    explicit TRestoreFm(const LoginContext& login, QWidget* parent = nullptr);

    QListWidget* backupList() const { return m_list; }
    QLabel* details() const { return m_details; }
    QPushButton* restoreButton() const { return m_restore; }
    // A backup file to show in the list and choose (also what 浏览 adds).
    void addFile(const QString& file);

    void reject() override;

private:
    void showChosen();
    void restore();
    void setRunning(bool running);

    const LoginContext& m_login;
    QListWidget* m_list;
    QLabel* m_details;
    QLabel* m_rights;
    QPushButton* m_browse;
    QPushButton* m_restore;
    QPushButton* m_close;
    QProgressBar* m_progress;
    std::atomic<bool> m_stop = false;
    bool m_running = false;
    bool m_mayRestore = true;
};
