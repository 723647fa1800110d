#pragma once

#include "ui/ModalSeam.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

// The tests' stand-ins at the modal seam (ui/ModalSeam). Each takes its own
// part and passes the rest on to the one installed before it, so a
// fixture's recorder still hears the messages while a test's runner drives
// a window, and a runner's windows still reach it while an inner recorder
// listens.

// While it lives, Prompt shows nothing: every box and question is recorded
// and answered from the queued answers. A question without a queued answer
// answers No, a text prompt without one is cancelled, a file-name question
// (save or open) without one is cancelled. Given a drive, it also drives
// every modal window, so one object stands in for all a window opens.
class PromptRecorder : public ModalSeam {
public:
    using Kind = ModalSeam::Kind;
    using Drive = std::function<void(QDialog*)>;
    struct Shown {
        Kind kind;
        QString caption;
        QString text;
    };

    explicit PromptRecorder(Drive windows = {});

    const QList<Shown>& shown() const { return m_shown; }
    // Texts of everything shown, in order.
    QStringList texts() const;
    // Empty when nothing was shown.
    QString lastText() const;
    void clear() { m_shown.clear(); }

    void setNextAnswer(bool yes) { m_answers.append(yes); }
    void setNextText(std::optional<QString> text) { m_texts.append(std::move(text)); }
    void setNextFileName(const QString& path) { m_fileNames.append(path); }

    void message(QWidget* parent, Kind kind, const QString& caption, const QString& text) override;
    bool question(QWidget* parent, const QString& caption, const QString& text) override;
    std::optional<QString> text(QWidget* parent, const QString& caption, const QString& label,
                                const QString& initial) override;
    QString saveFileName(QWidget* parent, const QString& caption, const QString& suggestedName,
                         const QString& filter) override;
    QString openFileName(QWidget* parent, const QString& caption, const QString& filter) override;
    void window(QDialog* dialog) override;

private:
    QList<Shown> m_shown;
    QList<bool> m_answers;
    QList<std::optional<QString>> m_texts;
    QStringList m_fileNames;
    Drive m_windows;
};

// While it lives, every modal window run through ModalSeam::run goes to
// drive, shown and modal; drive works it and closes it (accept, reject or
// done), so no test waits on a window:
//
//     WindowRunner runner([](QDialog* d) { ...drive d...; d->reject(); });
class WindowRunner : public ModalSeam {
public:
    using Drive = std::function<void(QDialog*)>;
    explicit WindowRunner(Drive drive) : m_drive(std::move(drive)) {}
    void window(QDialog* dialog) override { m_drive(dialog); }

private:
    Drive m_drive;
};
