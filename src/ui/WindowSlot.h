#pragma once

#include "ui/ModalSeam.h"

#include <QDialog>
#include <QPointer>

// One slot per window: the window is created on first use, shown modally,
// and destroyed when it closes, leaving the slot empty, so every opening
// starts fresh.
//
//     WindowSlot<THyKuFm> m_members;
//     m_members.open([&] { return new THyKuFm(m_login, this); });
template <class W> class WindowSlot {
public:
    WindowSlot() = default;
    WindowSlot(const WindowSlot&) = delete;
    WindowSlot& operator=(const WindowSlot&) = delete;
    ~WindowSlot() { delete m_window.data(); }

    // Creates the window with create() when the slot is empty, runs it
    // modally (ModalSeam::run), then deletes it and empties the slot. Gives the
    // window's result code. Opening a window that is already running only
    // brings it to the front.
    template <class Factory> int open(Factory create) {
        if (m_running) {
            if (m_window) {
                m_window->raise();
                m_window->activateWindow();
            }
            return QDialog::Rejected;
        }
        if (!m_window)
            m_window = create();
        if (!m_window)
            return QDialog::Rejected;
        m_running = true;
        const int result = ModalSeam::run(m_window.data());
        m_running = false;
        delete m_window.data();
        m_window.clear();
        return result;
    }

    W* window() const { return m_window.data(); }
    bool isOpen() const { return !m_window.isNull(); }

private:
    QPointer<W> m_window;
    bool m_running = false;
};
