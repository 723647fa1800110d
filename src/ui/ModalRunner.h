#pragma once

#include <QDialog>
#include <functional>

// How modal windows are run. By default a window runs its own event loop
// (QDialog::exec). A test installs a runner for the lifetime of a Scope; the
// runner gets every modal window opened meanwhile, drives it and closes it
// (accept/reject), so no test ever blocks on a window:
//
//     ModalRunner::Scope scope([](QDialog* d) { ...drive d...; d->reject(); });
//
// Scopes nest: the innermost one is in force.
class ModalRunner {
public:
    using Runner = std::function<void(QDialog*)>;

    // Runs the dialog modally; gives its result code (QDialog::Accepted or
    // Rejected, or whatever done() set).
    static int run(QDialog* dialog);

    class Scope {
    public:
        explicit Scope(Runner runner);
        ~Scope();
        Scope(const Scope&) = delete;
        Scope& operator=(const Scope&) = delete;

    private:
        Runner m_previous;
    };
};
