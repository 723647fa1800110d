#include "ui/PromptRecorder.h"

namespace {
PromptRecorder* current = nullptr;
}

PromptRecorder::PromptRecorder() : m_previous(current) {
    current = this;
}

PromptRecorder::~PromptRecorder() {
    current = m_previous;
}

PromptRecorder* PromptRecorder::active() {
    return current;
}

QStringList PromptRecorder::texts() const {
    QStringList all;
    for (const Shown& s : m_shown)
        all << s.text;
    return all;
}

QString PromptRecorder::lastText() const {
    return m_shown.isEmpty() ? QString() : m_shown.last().text;
}

void PromptRecorder::record(Kind kind, const QString& caption, const QString& text) {
    m_shown.append({kind, caption, text});
}

bool PromptRecorder::takeAnswer() {
    return m_answers.isEmpty() ? false : m_answers.takeFirst();
}

std::optional<QString> PromptRecorder::takeText() {
    return m_texts.isEmpty() ? std::nullopt : m_texts.takeFirst();
}

QString PromptRecorder::takeFileName() {
    return m_fileNames.isEmpty() ? QString() : m_fileNames.takeFirst();
}
