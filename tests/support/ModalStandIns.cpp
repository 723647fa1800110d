#include "support/ModalStandIns.h"

PromptRecorder::PromptRecorder(Drive windows) : m_windows(std::move(windows)) {}

QStringList PromptRecorder::texts() const {
    QStringList all;
    for (const Shown& s : m_shown)
        all << s.text;
    return all;
}

QString PromptRecorder::lastText() const {
    return m_shown.isEmpty() ? QString() : m_shown.last().text;
}

void PromptRecorder::message(QWidget*, Kind kind, const QString& caption, const QString& text) {
    m_shown.append({kind, caption, text});
}

bool PromptRecorder::question(QWidget*, const QString& caption, const QString& text) {
    m_shown.append({Kind::Question, caption, text});
    return m_answers.isEmpty() ? false : m_answers.takeFirst();
}

std::optional<QString> PromptRecorder::text(QWidget*, const QString& caption, const QString& label,
                                            const QString&) {
    m_shown.append({Kind::Text, caption, label});
    return m_texts.isEmpty() ? std::nullopt : m_texts.takeFirst();
}

QString PromptRecorder::saveFileName(QWidget*, const QString& caption, const QString& suggestedName,
                                     const QString&) {
    m_shown.append({Kind::FileName, caption, suggestedName});
    return m_fileNames.isEmpty() ? QString() : m_fileNames.takeFirst();
}

QString PromptRecorder::openFileName(QWidget*, const QString& caption, const QString& filter) {
    m_shown.append({Kind::FileName, caption, filter});
    return m_fileNames.isEmpty() ? QString() : m_fileNames.takeFirst();
}

void PromptRecorder::window(QDialog* dialog) {
    if (m_windows)
        m_windows(dialog);
    else
        ModalSeam::window(dialog);
}
