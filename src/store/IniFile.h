#pragma once

#include "store/Result.h"

#include <QByteArray>
#include <QList>
#include <QString>

// The text of an INI file as its bytes: "[section]" lines and "key=value"
// lines in the file's own encoding (UTF-8 with or without BOM, UTF-16 with
// BOM, or GB18030 as Chinese Windows tools write it; a file whose longer
// characters are UTF-8 but for a few stray bytes is UTF-8) and with its own line
// ends (CR, LF or CRLF, line by line). Section and key names match without
// regard to case; a value is everything after the first "=", used exactly
// as written. A change re-encodes only the line it touches, so every other
// line stays byte for byte.
class IniDocument {
public:
    enum class Encoding { Utf8, Utf8Bom, Utf16Le, Utf16Be, Gb18030 };

    static IniDocument fromBytes(const QByteArray& bytes);
    QByteArray toBytes() const;

    Encoding encoding() const { return m_encoding; }
    // A UTF-8 file but for a few stray bytes is read as UTF-8: the lines
    // (numbered from 1) holding bytes that are no UTF-8. They are written
    // back byte for byte unless a value on them is changed.
    QList<int> badLines() const;
    // "de.ini 第 N 行含有不是 UTF-8 的字节..." naming those lines; empty when none.
    QString badLinesMessage(const QString& fileName) const;
    QString value(const QString& section, const QString& key, const QString& fallback) const;
    // Replaces the key's line, or adds it at the end of its section (the
    // section is added at the end of the file when missing). A value holding
    // a line break is refused.
    Status setValue(const QString& section, const QString& key, const QString& value);

private:
    struct Line {
        QString text;
        QByteArray bytes; // as in the file, without the line end
        QByteArray end;   // the line end as in the file; empty on a last line without one
    };
    QByteArray encode(const QString& text) const;
    QByteArray newLineEnd() const;
    void insertLine(qsizetype at, const QString& text);

    Encoding m_encoding = Encoding::Utf8;
    QList<Line> m_lines;
};

// The configuration file de.ini. Every read looks at the file as it is now;
// every write goes to the file at once and keeps all other lines as they
// were. To read many keys, take the document once with load().
class IniFile {
public:
    explicit IniFile(QString path);

    // de.ini in the folder of the running program.
    static QString defaultPath();

    const QString& path() const { return m_path; }
    // The file as it is now; an empty document when it cannot be read.
    IniDocument load() const;
    QString read(const QString& section, const QString& key, const QString& fallback) const;
    Status write(const QString& section, const QString& key, const QString& value);
    // Several keys in one write: the file is replaced whole (a temporary
    // file renamed over it), so a failure leaves the old file as it was.
    struct Entry {
        QString section;
        QString key;
        QString value;
    };
    // The file is written readable and writable by its owner only.
    Status write(const QList<Entry>& entries);

private:
    QString m_path;
};
