#include "store/IniFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <QStringDecoder>

namespace {

// "[name]" gives name, any other line an empty text.
QString sectionName(const QString& line) {
    const QString trimmed = line.trimmed();
    if (trimmed.size() >= 2 && trimmed.startsWith(u'[') && trimmed.endsWith(u']'))
        return trimmed.mid(1, trimmed.size() - 2).trimmed();
    return {};
}

bool isKeyLine(const QString& line, const QString& key, QString* value) {
    const qsizetype eq = line.indexOf(u'=');
    if (eq <= 0 || line.trimmed().startsWith(u';'))
        return false;
    if (line.left(eq).trimmed().compare(key, Qt::CaseInsensitive) != 0)
        return false;
    if (value)
        *value = line.mid(eq + 1);
    return true;
}

} // namespace

IniFile::IniFile(QString path) : m_path(std::move(path)) {}

QString IniFile::defaultPath() {
    return QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("de.ini"));
}

QStringList IniFile::lines() const {
    QFile file(m_path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray bytes = file.readAll();
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString text = utf8.decode(bytes);
    if (utf8.hasError()) // a file saved by a Chinese Windows editor
        text = QStringDecoder("GB18030").decode(bytes);
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    QStringList result = text.split(u'\n');
    if (!result.isEmpty() && result.last().isEmpty())
        result.removeLast();
    return result;
}

QString IniFile::read(const QString& section, const QString& key, const QString& fallback) const {
    bool inSection = false;
    for (const QString& line : lines()) {
        const QString name = sectionName(line);
        if (!name.isEmpty()) {
            inSection = name.compare(section, Qt::CaseInsensitive) == 0;
            continue;
        }
        QString value;
        if (inSection && isKeyLine(line, key, &value))
            return value;
    }
    return fallback;
}

bool IniFile::write(const QString& section, const QString& key, const QString& value) {
    QStringList all = lines();
    const QString newLine = key + u'=' + value;
    qsizetype sectionStart = -1;
    qsizetype sectionEnd = all.size(); // one past the section's last line
    for (qsizetype i = 0; i < all.size(); ++i) {
        const QString name = sectionName(all[i]);
        if (name.isEmpty())
            continue;
        if (sectionStart >= 0) {
            sectionEnd = i;
            break;
        }
        if (name.compare(section, Qt::CaseInsensitive) == 0)
            sectionStart = i;
    }
    bool done = false;
    if (sectionStart >= 0) {
        for (qsizetype i = sectionStart + 1; i < sectionEnd; ++i) {
            if (isKeyLine(all[i], key, nullptr)) {
                all[i] = newLine;
                done = true;
                break;
            }
        }
        if (!done) {
            // after the section's last non-blank line
            qsizetype at = sectionEnd;
            while (at > sectionStart + 1 && all[at - 1].trimmed().isEmpty())
                --at;
            all.insert(at, newLine);
        }
    } else {
        all << (u'[' + section + u']') << newLine;
    }
    QSaveFile file(m_path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.write((all.join(u'\n') + u'\n').toUtf8());
    return file.commit();
}
