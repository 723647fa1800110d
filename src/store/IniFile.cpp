#include "store/IniFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <QStringDecoder>
#include <QStringEncoder>

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

const QByteArray Utf8Bom("\xEF\xBB\xBF");
const QByteArray Utf16LeBom("\xFF\xFE");
const QByteArray Utf16BeBom("\xFE\xFF");

QStringConverter::Encoding converterOf(IniDocument::Encoding encoding) {
    switch (encoding) {
    case IniDocument::Encoding::Utf16Le:
        return QStringConverter::Utf16LE;
    case IniDocument::Encoding::Utf16Be:
        return QStringConverter::Utf16BE;
    default:
        return QStringConverter::Utf8;
    }
}

QString decode(IniDocument::Encoding encoding, const QByteArray& bytes) {
    if (encoding == IniDocument::Encoding::Gb18030)
        return QStringDecoder("GB18030").decode(bytes);
    QStringDecoder decoder(converterOf(encoding), QStringDecoder::Flag::Stateless);
    return decoder.decode(bytes);
}

// The length of the valid UTF-8 sequence at bytes[i], 0 when none starts there.
int utf8SequenceAt(const QByteArray& bytes, qsizetype i) {
    const uchar lead = uchar(bytes[i]);
    int length = 0;
    char32_t code = 0;
    if (lead < 0x80)
        return 1;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        code = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        code = lead & 0x0F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        code = lead & 0x07;
    } else {
        return 0;
    }
    if (i + length > bytes.size())
        return 0;
    for (int k = 1; k < length; ++k) {
        const uchar next = uchar(bytes[i + k]);
        if ((next & 0xC0) != 0x80)
            return 0;
        code = (code << 6) | (next & 0x3F);
    }
    // no overlong form, no surrogate, nothing beyond U+10FFFF
    if ((length == 3 && code < 0x800) || (length == 4 && (code < 0x10000 || code > 0x10FFFF)) ||
        (code >= 0xD800 && code <= 0xDFFF))
        return 0;
    return length;
}

// Whether bytes are UTF-8: wholly, or but for a few stray bytes in a text
// whose longer characters are otherwise UTF-8 (a value typed in another
// encoding by hand, a byte broken by a copy). A file of GB18030 text has
// almost no valid UTF-8 sequences of more than one byte.
bool looksLikeUtf8(const QByteArray& bytes) {
    qsizetype valid = 0, invalid = 0;
    for (qsizetype i = 0; i < bytes.size();) {
        const int length = utf8SequenceAt(bytes, i);
        if (length == 0) {
            ++invalid;
            ++i;
            continue;
        }
        if (length > 1)
            ++valid;
        i += length;
    }
    return invalid == 0 || (valid > 0 && valid > invalid);
}

bool validUtf8(const QByteArray& bytes) {
    for (qsizetype i = 0; i < bytes.size();) {
        const int length = utf8SequenceAt(bytes, i);
        if (length == 0)
            return false;
        i += length;
    }
    return true;
}

} // namespace

QList<int> IniDocument::badLines() const {
    QList<int> lines;
    if (m_encoding != Encoding::Utf8 && m_encoding != Encoding::Utf8Bom)
        return lines;
    for (qsizetype i = 0; i < m_lines.size(); ++i) {
        if (!validUtf8(m_lines[i].bytes))
            lines << int(i + 1);
    }
    return lines;
}

QString IniDocument::badLinesMessage(const QString& fileName) const {
    const QList<int> lines = badLines();
    if (lines.isEmpty())
        return {};
    QStringList numbers;
    for (int line : lines)
        numbers << QString::number(line);
    return QStringLiteral("%1 第 %2 行含有不是 UTF-8 的字节, 这些行按原样保留, "
                          "其中的文字可能显示不正确.")
        .arg(fileName, numbers.join(QStringLiteral(", ")));
}

IniDocument IniDocument::fromBytes(const QByteArray& bytes) {
    IniDocument doc;
    qsizetype start = 0;
    if (bytes.startsWith(Utf8Bom)) {
        doc.m_encoding = Encoding::Utf8Bom;
        start = Utf8Bom.size();
    } else if (bytes.startsWith(Utf16LeBom)) {
        doc.m_encoding = Encoding::Utf16Le;
        start = Utf16LeBom.size();
    } else if (bytes.startsWith(Utf16BeBom)) {
        doc.m_encoding = Encoding::Utf16Be;
        start = Utf16BeBom.size();
    } else {
        doc.m_encoding = looksLikeUtf8(bytes) ? Encoding::Utf8 : Encoding::Gb18030;
    }
    // Lines are cut on the code units of CR and LF; in UTF-8 and GB18030 no
    // byte of a longer character has these values.
    const int unit =
        doc.m_encoding == Encoding::Utf16Le || doc.m_encoding == Encoding::Utf16Be ? 2 : 1;
    auto unitAt = [&](qsizetype i) -> char16_t {
        if (unit == 1)
            return char16_t(uchar(bytes[i]));
        const uchar a = uchar(bytes[i]), b = uchar(bytes[i + 1]);
        return doc.m_encoding == Encoding::Utf16Le ? char16_t(a | (b << 8))
                                                   : char16_t((a << 8) | b);
    };
    const qsizetype end = bytes.size() - (bytes.size() - start) % unit;
    qsizetype lineStart = start;
    for (qsizetype i = start; i < end; i += unit) {
        const char16_t c = unitAt(i);
        if (c != u'\r' && c != u'\n')
            continue;
        qsizetype next = i + unit;
        if (c == u'\r' && next < end && unitAt(next) == u'\n')
            next += unit;
        const QByteArray lineBytes = bytes.mid(lineStart, i - lineStart);
        doc.m_lines.append({decode(doc.m_encoding, lineBytes), lineBytes, bytes.mid(i, next - i)});
        lineStart = next;
        i = next - unit;
    }
    if (lineStart < bytes.size()) {
        const QByteArray lineBytes = bytes.mid(lineStart);
        doc.m_lines.append({decode(doc.m_encoding, lineBytes), lineBytes, {}});
    }
    return doc;
}

QByteArray IniDocument::toBytes() const {
    QByteArray out;
    switch (m_encoding) {
    case Encoding::Utf8Bom:
        out = Utf8Bom;
        break;
    case Encoding::Utf16Le:
        out = Utf16LeBom;
        break;
    case Encoding::Utf16Be:
        out = Utf16BeBom;
        break;
    default:
        break;
    }
    for (const Line& line : m_lines)
        out += line.bytes + line.end;
    return out;
}

QByteArray IniDocument::encode(const QString& text) const {
    if (m_encoding == Encoding::Gb18030)
        return QStringEncoder("GB18030").encode(text);
    QStringEncoder encoder(converterOf(m_encoding), QStringEncoder::Flag::Stateless);
    return encoder.encode(text);
}

QByteArray IniDocument::newLineEnd() const {
    // the file's own line end: that of its first line that has one
    for (const Line& line : m_lines) {
        if (!line.end.isEmpty())
            return line.end;
    }
    return encode(QStringLiteral("\n"));
}

void IniDocument::insertLine(qsizetype at, const QString& text) {
    const QByteArray end = newLineEnd();
    if (at > 0 && m_lines[at - 1].end.isEmpty())
        m_lines[at - 1].end = end;
    m_lines.insert(at, {text, encode(text), end});
}

QString IniDocument::value(const QString& section, const QString& key,
                           const QString& fallback) const {
    bool inSection = false;
    for (const Line& line : m_lines) {
        const QString name = sectionName(line.text);
        if (!name.isEmpty()) {
            inSection = name.compare(section, Qt::CaseInsensitive) == 0;
            continue;
        }
        QString value;
        if (inSection && isKeyLine(line.text, key, &value))
            return value;
    }
    return fallback;
}

Status IniDocument::setValue(const QString& section, const QString& key, const QString& value) {
    if (value.contains(u'\n') || value.contains(u'\r') || key.contains(u'\n') ||
        key.contains(u'\r'))
        return Error{QStringLiteral("设置值中不能含有换行: %1").arg(key)};
    const QString newLine = key + u'=' + value;
    qsizetype sectionStart = -1;
    qsizetype sectionEnd = m_lines.size(); // one past the section's last line
    for (qsizetype i = 0; i < m_lines.size(); ++i) {
        const QString name = sectionName(m_lines[i].text);
        if (name.isEmpty())
            continue;
        if (sectionStart >= 0) {
            sectionEnd = i;
            break;
        }
        if (name.compare(section, Qt::CaseInsensitive) == 0)
            sectionStart = i;
    }
    if (sectionStart < 0) {
        insertLine(m_lines.size(), u'[' + section + u']');
        insertLine(m_lines.size(), newLine);
        return {};
    }
    for (qsizetype i = sectionStart + 1; i < sectionEnd; ++i) {
        if (isKeyLine(m_lines[i].text, key, nullptr)) {
            m_lines[i].text = newLine;
            m_lines[i].bytes = encode(newLine);
            return {};
        }
    }
    // after the section's last non-blank line
    qsizetype at = sectionEnd;
    while (at > sectionStart + 1 && m_lines[at - 1].text.trimmed().isEmpty())
        --at;
    insertLine(at, newLine);
    return {};
}

IniFile::IniFile(QString path) : m_path(std::move(path)) {}

QString IniFile::defaultPath() {
    return QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("de.ini"));
}

IniDocument IniFile::load() const {
    QFile file(m_path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return IniDocument::fromBytes(file.readAll());
}

QString IniFile::read(const QString& section, const QString& key, const QString& fallback) const {
    return load().value(section, key, fallback);
}

Status IniFile::write(const QString& section, const QString& key, const QString& value) {
    return write(QList<Entry>{{section, key, value}});
}

Status IniFile::write(const QList<Entry>& entries) {
    IniDocument doc = load();
    for (const Entry& entry : entries) {
        if (Status set = doc.setValue(entry.section, entry.key, entry.value); !set)
            return set;
    }
    // A file cut inside a character may read back otherwise once a line is
    // added: never report a value as written that would not be read back.
    const QByteArray bytes = doc.toBytes();
    const IniDocument written = IniDocument::fromBytes(bytes);
    for (const Entry& entry : entries) {
        if (written.value(entry.section, entry.key, {}) != entry.value)
            return Error{QStringLiteral("不能写入 %1: 文件的编码已损坏, 写入后读不回 %2")
                             .arg(m_path, entry.key)};
    }
    // The file may hold a server password: only its owner reads it, from
    // the first byte written (the new file is made so before it is renamed
    // over the old one), whatever the old one allowed.
    constexpr QFileDevice::Permissions OwnerOnly = QFileDevice::ReadOwner | QFileDevice::WriteOwner;
    QSaveFile file(m_path);
    if (!file.open(QIODevice::WriteOnly))
        return Error{QStringLiteral("不能写入 %1: %2").arg(m_path, file.errorString())};
    if (!file.setPermissions(OwnerOnly))
        return Error{QStringLiteral("不能写入 %1: %2").arg(m_path, file.errorString())};
    file.write(bytes);
    if (!file.commit())
        return Error{QStringLiteral("不能写入 %1: %2").arg(m_path, file.errorString())};
    if (!QFile::setPermissions(m_path, OwnerOnly))
        return Error{QStringLiteral("不能设置 %1 的权限").arg(m_path)};
    return {};
}
