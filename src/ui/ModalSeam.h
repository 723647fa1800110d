#pragma once

#include <QString>
#include <optional>

class QDialog;
class QWidget;

// Everything the program opens modally passes through here: the message
// boxes and questions of Prompt, its text and file-name questions, and every
// modal window (ModalSeam::run: the windows of window slots, a window's own
// dialogs, print previews). Normally each is shown and waits for the user.
//
// A stand-in is an object of a class derived from ModalSeam. From its
// construction to its destruction it is in force: every prompt and modal
// window goes to it, and whatever it does not override goes on to the
// stand-in that was in force before it, or, with none left, is shown for
// real. Stand-ins nest, the innermost first. Tests install them, so no test
// ever waits on a box or a window.
class ModalSeam {
public:
    enum class Kind { Information, Warning, Error, Question, Text, FileName };

    // The innermost stand-in, or the desktop, which shows everything.
    static ModalSeam& inForce();

    // Runs dialog modally and gives its result code (QDialog::Accepted or
    // Rejected, or what done() set). Under a stand-in the dialog is shown
    // and application-modal, as exec() would have it, with the result
    // Rejected until it is closed; a dialog destroyed meanwhile gives
    // Rejected.
    static int run(QDialog* dialog);

    ModalSeam(const ModalSeam&) = delete;
    ModalSeam& operator=(const ModalSeam&) = delete;
    virtual ~ModalSeam();

    // A box with one "确定" button: Information, Warning or Error.
    virtual void message(QWidget* parent, Kind kind, const QString& caption, const QString& text);
    // "是(&Y)" (the default) or "否(&N)"; true for Yes.
    virtual bool question(QWidget* parent, const QString& caption, const QString& text);
    // The text typed; nullopt when cancelled.
    virtual std::optional<QString> text(QWidget* parent, const QString& caption,
                                        const QString& label, const QString& initial);
    // The chosen path; empty when cancelled.
    virtual QString saveFileName(QWidget* parent, const QString& caption,
                                 const QString& suggestedName, const QString& filter);
    virtual QString openFileName(QWidget* parent, const QString& caption, const QString& filter);
    // A modal window run through run(), already shown: drive it and close it
    // (accept, reject or done). The desktop runs the window's event loop
    // until the user closes it.
    virtual void window(QDialog* dialog);

protected:
    // Puts this stand-in in force.
    ModalSeam();

private:
    struct DesktopTag {};
    explicit ModalSeam(DesktopTag);
    static ModalSeam& desktop();

    ModalSeam* m_outer = nullptr; // null for the desktop only
};
