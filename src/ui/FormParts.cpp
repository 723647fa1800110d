#include "ui/FormParts.h"

#include <QComboBox>
#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QTimer>

namespace {

class SelectAllOnClick : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::MouseButtonRelease) {
            if (auto* edit = qobject_cast<QLineEdit*>(watched))
                QTimer::singleShot(0, edit, &QLineEdit::selectAll);
        }
        return QObject::eventFilter(watched, event);
    }
};

} // namespace

namespace FormParts {

QLabel* boldLabel(const QString& text) {
    auto* label = new QLabel(text);
    QFont font = label->font();
    font.setBold(true);
    label->setFont(font);
    return label;
}

QComboBox* choiceBox(const QStringList& items) {
    auto* box = new QComboBox;
    box->setEditable(true);
    box->setInsertPolicy(QComboBox::NoInsert);
    box->addItems(items);
    box->setEditText(QString());
    return box;
}

void setChoices(QComboBox* box, const QStringList& items) {
    const QString shown = box->currentText();
    box->clear();
    box->addItems(items);
    box->setEditText(shown);
}

void selectAllOnClick(QLineEdit* box) {
    box->installEventFilter(new SelectAllOnClick(box));
}

} // namespace FormParts
