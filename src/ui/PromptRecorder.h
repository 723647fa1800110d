#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

// The test double of Prompt: while an instance lives, Prompt shows nothing,
// records what would have been shown and answers from the queued answers.
// A question without a queued answer answers No, a text prompt without one
// is cancelled, a file-name question (save or open) without one is cancelled.
class PromptRecorder {
public:
    enum class Kind { Information, Warning, Error, Question, Text, FileName };
    struct Shown {
        Kind kind;
        QString caption;
        QString text;
    };

    PromptRecorder();
    ~PromptRecorder();
    PromptRecorder(const PromptRecorder&) = delete;
    PromptRecorder& operator=(const PromptRecorder&) = delete;

    const QList<Shown>& shown() const { return m_shown; }
    // Texts of everything shown, in order.
    QStringList texts() const;
    // Empty when nothing was shown.
    QString lastText() const;
    void clear() { m_shown.clear(); }

    void setNextAnswer(bool yes) { m_answers.append(yes); }
    void setNextText(std::optional<QString> text) { m_texts.append(std::move(text)); }
    void setNextFileName(const QString& path) { m_fileNames.append(path); }

    // Used by Prompt.
    static PromptRecorder* active();
    void record(Kind kind, const QString& caption, const QString& text);
    bool takeAnswer();
    std::optional<QString> takeText();
    QString takeFileName();

private:
    QList<Shown> m_shown;
    QList<bool> m_answers;
    QList<std::optional<QString>> m_texts;
    QStringList m_fileNames;
    PromptRecorder* m_previous = nullptr;
};
