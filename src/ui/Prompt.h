#pragma once

#include <QString>
#include <optional>

class QWidget;

// Every message box, Yes/No question, text prompt and file-name question of
// the program goes through here, and on to the modal seam (ui/ModalSeam),
// where a test's stand-in answers it instead of a user.
class Prompt {
public:
    static void information(QWidget* parent, const QString& text,
                            const QString& caption = QStringLiteral("提示"));
    static void warning(QWidget* parent, const QString& text,
                        const QString& caption = QStringLiteral("警告"));
    static void error(QWidget* parent, const QString& text,
                      const QString& caption = QStringLiteral("错误"));
    // Yes/No; true for Yes.
    static bool question(QWidget* parent, const QString& text,
                         const QString& caption = QStringLiteral("请确认"));
    // nullopt when cancelled.
    static std::optional<QString> text(QWidget* parent, const QString& caption,
                                       const QString& label, const QString& initial = {});
    // The chosen path; empty when cancelled.
    static QString saveFileName(QWidget* parent, const QString& caption,
                                const QString& suggestedName, const QString& filter);
    // An existing file to open (a picture); empty when cancelled.
    static QString openFileName(QWidget* parent, const QString& caption, const QString& filter);
};
