#pragma once

#include "store/LoginContext.h"

#include <QDialog>

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QProcess;
class QProgressBar;
class QPushButton;

// "导入旧数据": moves a shop in from its old Access file (data.mdb). A
// preview first lists the tables, their rows and what will be refused; the
// import itself runs in a process of its own (shop-admin import-mdb), so no
// transaction is held on this window's connection while it shows its
// progress, and a cancel rolls it back. The report is shown and kept as a
// file; afterwards the program ends, to be started on the imported data.
class TImportMdbFm : public QDialog {
    Q_OBJECT
public:
    explicit TImportMdbFm(const LoginContext& login, QWidget* parent = nullptr);

    QLineEdit* fileBox() const { return m_file; }
    QPushButton* previewButton() const { return m_preview; }
    QPushButton* importButton() const { return m_import; }
    QPlainTextEdit* report() const { return m_report; }
    // The shop-admin program run (beside this one; tests name another).
    static QString& adminProgram();

    void reject() override;

private:
    // Runs shop-admin import-mdb with the arguments, input on its standard
    // input; gives its exit status.
    int runCommand(const QStringList& arguments, const QString& input = {});
    void preview();
    void import();
    void setRunning(bool running);

    const LoginContext& m_login;
    QLineEdit* m_file;
    QPushButton* m_browse;
    QPushButton* m_preview;
    QPushButton* m_import;
    QPushButton* m_close;
    QLabel* m_rights;
    QProgressBar* m_progress;
    QPlainTextEdit* m_report;
    QProcess* m_process = nullptr;
    bool m_previewed = false;
};
