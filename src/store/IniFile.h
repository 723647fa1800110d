#pragma once

#include <QString>
#include <QStringList>

// The configuration file de.ini: "[section]" lines and "key=value" lines.
// Section and key names match without regard to case; a value is everything
// after the first "=", used exactly as written. Every read looks at the file
// as it is now; every write goes to the file at once and keeps all other
// lines as they were.
class IniFile {
public:
    explicit IniFile(QString path);

    // de.ini in the folder of the running program.
    static QString defaultPath();

    const QString& path() const { return m_path; }
    QString read(const QString& section, const QString& key, const QString& fallback) const;
    // Replaces the key's line, or adds it at the end of its section (the
    // section is added at the end of the file when missing). False when the
    // file cannot be written.
    bool write(const QString& section, const QString& key, const QString& value);

private:
    QStringList lines() const;
    QString m_path;
};
