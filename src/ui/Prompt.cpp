#include "ui/Prompt.h"

#include "ui/ModalSeam.h"

using Kind = ModalSeam::Kind;

void Prompt::information(QWidget* parent, const QString& text, const QString& caption) {
    ModalSeam::inForce().message(parent, Kind::Information, caption, text);
}

void Prompt::warning(QWidget* parent, const QString& text, const QString& caption) {
    ModalSeam::inForce().message(parent, Kind::Warning, caption, text);
}

void Prompt::error(QWidget* parent, const QString& text, const QString& caption) {
    ModalSeam::inForce().message(parent, Kind::Error, caption, text);
}

bool Prompt::question(QWidget* parent, const QString& text, const QString& caption) {
    return ModalSeam::inForce().question(parent, caption, text);
}

std::optional<QString> Prompt::text(QWidget* parent, const QString& caption, const QString& label,
                                    const QString& initial) {
    return ModalSeam::inForce().text(parent, caption, label, initial);
}

QString Prompt::saveFileName(QWidget* parent, const QString& caption, const QString& suggestedName,
                             const QString& filter) {
    return ModalSeam::inForce().saveFileName(parent, caption, suggestedName, filter);
}

QString Prompt::openFileName(QWidget* parent, const QString& caption, const QString& filter) {
    return ModalSeam::inForce().openFileName(parent, caption, filter);
}
