#include "output/core/XlsxReader.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QIODevice>
#include <QXmlStreamReader>
#include <cmath>
#include <zip.h>

namespace {

constexpr int MaxColumns = 16384; // XFD
constexpr int MaxRows = 1048576;  // a worksheet's last row
constexpr qint64 MsPerDay = 86400000;
constexpr double LastSerial = 2958466; // 10000-01-01, past the last date a sheet holds

enum class Shown { Number, Date, Time, DateTime };

QString native(const QString& path) {
    return QDir::toNativeSeparators(path);
}

Error damaged(const QString& path, const QString& member) {
    return Error{QStringLiteral("Excel文件已损坏：") + native(path) + QStringLiteral("（") +
                 member + QStringLiteral("）")};
}

// What a number format shows of a number: a date, a time of day, both, or
// the number. Quoted text, escaped characters, colours and locales in
// brackets and the "General" keyword show no date; d and y do, h and s (and
// [h], [mm], [ss] of elapsed time, and AM/PM) a time, and m minutes right
// after h or before s, else months. Only the first section counts.
Shown shownBy(const QString& code) {
    QString letters; // d, y, m, h, s in their order, a run of one kept once
    auto add = [&](QChar c) {
        if (letters.isEmpty() || letters.back() != c)
            letters += c;
    };
    bool quoted = false;
    for (qsizetype i = 0; i < code.size(); ++i) {
        const QChar c = code[i].toLower();
        if (quoted) {
            quoted = c != u'"';
        } else if (c == u'"') {
            quoted = true;
        } else if (c == u'\\' || c == u'_' || c == u'*') {
            ++i; // the next character is shown as it stands
        } else if (c == u';') {
            break;
        } else if (c == u'[') {
            const qsizetype end = code.indexOf(u']', i);
            const QString inside = code.mid(i + 1, end < 0 ? -1 : end - i - 1).toLower();
            if (!inside.isEmpty() && QStringLiteral("hms").contains(inside[0]) &&
                inside == QString(inside.size(), inside[0]))
                add(inside[0]);
            if (end < 0)
                break;
            i = end;
        } else if (code.mid(i, 7).compare(QLatin1String("general"), Qt::CaseInsensitive) == 0) {
            i += 6;
        } else if (code.mid(i, 5).compare(QLatin1String("am/pm"), Qt::CaseInsensitive) == 0) {
            add(u'h');
            i += 4;
        } else if (code.mid(i, 3).compare(QLatin1String("a/p"), Qt::CaseInsensitive) == 0) {
            add(u'h');
            i += 2;
        } else if (QStringLiteral("dymhs").contains(c)) {
            add(c);
        }
    }
    bool date = false, time = false;
    for (qsizetype i = 0; i < letters.size(); ++i) {
        const QChar c = letters[i];
        const bool minutes = c == u'm' && ((i > 0 && letters[i - 1] == u'h') ||
                                           (i + 1 < letters.size() && letters[i + 1] == u's'));
        if (c == u'h' || c == u's' || minutes)
            time = true;
        else
            date = true;
    }
    if (date && time)
        return Shown::DateTime;
    if (date)
        return Shown::Date;
    return time ? Shown::Time : Shown::Number;
}

// The built-in number formats that show dates or times (those of the
// Chinese locale among them).
Shown shownByBuiltIn(int id) {
    if ((id >= 14 && id <= 17) || (id >= 27 && id <= 31) || id == 36 || (id >= 50 && id <= 54) ||
        id == 57 || id == 58)
        return Shown::Date;
    if ((id >= 18 && id <= 21) || (id >= 32 && id <= 35) || (id >= 45 && id <= 47) || id == 55 ||
        id == 56)
        return Shown::Time;
    return id == 22 ? Shown::DateTime : Shown::Number;
}

// One member of the archive as a stream, so a long sheet is never held
// whole.
class MemberDevice : public QIODevice {
public:
    explicit MemberDevice(zip_file_t* file) : m_file(file) { open(QIODevice::ReadOnly); }
    ~MemberDevice() override {
        if (m_file)
            zip_fclose(m_file);
    }
    bool isSequential() const override { return true; }
    bool failed() const { return m_failed; }

protected:
    qint64 readData(char* data, qint64 maxSize) override {
        const zip_int64_t n = zip_fread(m_file, data, zip_uint64_t(maxSize));
        if (n < 0) {
            m_failed = true;
            return -1;
        }
        return n;
    }
    qint64 writeData(const char*, qint64) override { return -1; }

private:
    zip_file_t* m_file;
    bool m_failed = false;
};

struct Archive {
    zip_t* zip = nullptr;
    ~Archive() {
        if (zip)
            zip_discard(zip);
    }
};

// The text of a string item (<si> or <is>): its own <t> and those of its
// runs; phonetic readings (<rPh>) are not part of it.
QString itemText(QXmlStreamReader& xml) {
    QString text;
    while (xml.readNextStartElement()) {
        if (xml.name() == u"t")
            text += xml.readElementText();
        else if (xml.name() == u"r")
            text += itemText(xml);
        else
            xml.skipCurrentElement();
    }
    return text;
}

// "B12" → column 1; -1 when it is no cell reference within a sheet.
int columnOf(QStringView ref) {
    int column = 0;
    qsizetype i = 0;
    for (; i < ref.size() && ref[i] >= u'A' && ref[i] <= u'Z'; ++i) {
        column = column * 26 + (ref[i].unicode() - u'A' + 1);
        if (column > MaxColumns)
            return -1;
    }
    if (i == 0)
        return -1;
    for (qsizetype j = i; j < ref.size(); ++j) {
        if (!ref[j].isDigit())
            return -1;
    }
    return column - 1;
}

QString relsOf(const QString& part) {
    const qsizetype slash = part.lastIndexOf(u'/');
    return part.left(slash + 1) + QStringLiteral("_rels/") + part.mid(slash + 1) +
           QStringLiteral(".rels");
}

} // namespace

struct XlsxBookData {
    QString path;
    Archive archive;
    struct Sheet {
        QString name;
        QString part;
    };
    QList<Sheet> sheets;
    QStringList strings;
    QList<Shown> styles; // by cell format (the cells' s)
    bool from1904 = false;

    // Streams one member through read; false with the error when it is
    // missing, cannot be read or is not well-formed XML.
    template <typename Read> Status readXml(const QString& member, Read&& read) const {
        const zip_int64_t index =
            zip_name_locate(archive.zip, member.toUtf8().constData(), ZIP_FL_NOCASE);
        if (index < 0)
            return damaged(path, member);
        zip_file_t* file = zip_fopen_index(archive.zip, zip_uint64_t(index), 0);
        if (!file)
            return damaged(path, member);
        MemberDevice device(file);
        QXmlStreamReader xml(&device);
        if (Status s = read(xml); !s)
            return s;
        if (xml.hasError() || device.failed())
            return damaged(path, member);
        return {};
    }

    bool has(const QString& member) const {
        return zip_name_locate(archive.zip, member.toUtf8().constData(), ZIP_FL_NOCASE) >= 0;
    }

    // Relationship id → target part, for the relationships of part.
    struct Relation {
        QString type;
        QString target;
    };
    Result<QHash<QString, Relation>> relations(const QString& part) const {
        QHash<QString, Relation> found;
        const QString rels = relsOf(part);
        if (!has(rels))
            return found;
        const QString base = part.left(part.lastIndexOf(u'/') + 1);
        Status read = readXml(rels, [&](QXmlStreamReader& xml) -> Status {
            while (!xml.atEnd()) {
                xml.readNext();
                if (!xml.isStartElement() || xml.name() != u"Relationship")
                    continue;
                const auto a = xml.attributes();
                if (a.value(QLatin1String("TargetMode")) == u"External")
                    continue;
                QString target = a.value(QLatin1String("Target")).toString();
                target = target.startsWith(u'/') ? target.mid(1) : base + target;
                found.insert(a.value(QLatin1String("Id")).toString(),
                             {a.value(QLatin1String("Type")).toString(), QDir::cleanPath(target)});
            }
            return {};
        });
        if (!read)
            return Error{read.error()};
        return found;
    }

    Status readWorkbook(const QString& part) {
        auto rels = relations(part);
        if (!rels)
            return Error{rels.error()};
        QStringList ids;
        Status read = readXml(part, [&](QXmlStreamReader& xml) -> Status {
            while (!xml.atEnd()) {
                xml.readNext();
                if (!xml.isStartElement())
                    continue;
                const auto a = xml.attributes();
                if (xml.name() == u"workbookPr") {
                    const auto v = a.value(QLatin1String("date1904"));
                    from1904 = v == u"1" || v == u"true";
                } else if (xml.name() == u"sheet") {
                    QString id;
                    for (const QXmlStreamAttribute& attribute : a) {
                        if (attribute.name() == u"id" && !attribute.namespaceUri().isEmpty())
                            id = attribute.value().toString();
                    }
                    sheets << Sheet{a.value(QLatin1String("name")).toString(), {}};
                    ids << id;
                }
            }
            return {};
        });
        if (!read)
            return read;
        for (qsizetype i = 0; i < sheets.size(); ++i) {
            const auto it = rels->find(ids[i]);
            if (it == rels->end())
                return damaged(path, part);
            sheets[i].part = it->target;
        }
        for (const Relation& r : std::as_const(rels.value())) {
            if (r.type.endsWith(QLatin1String("/sharedStrings"))) {
                if (Status s = readStrings(r.target); !s)
                    return s;
            } else if (r.type.endsWith(QLatin1String("/styles"))) {
                if (Status s = readStyles(r.target); !s)
                    return s;
            }
        }
        return {};
    }

    Status readStrings(const QString& part) {
        return readXml(part, [&](QXmlStreamReader& xml) -> Status {
            while (!xml.atEnd()) {
                xml.readNext();
                if (xml.isStartElement() && xml.name() == u"si")
                    strings << itemText(xml);
            }
            return {};
        });
    }

    Status readStyles(const QString& part) {
        return readXml(part, [&](QXmlStreamReader& xml) -> Status {
            QHash<int, Shown> formats;
            QList<int> formatOfStyle;
            bool inCellFormats = false;
            while (!xml.atEnd()) {
                xml.readNext();
                if (xml.isEndElement() && xml.name() == u"cellXfs")
                    inCellFormats = false;
                if (!xml.isStartElement())
                    continue;
                const auto a = xml.attributes();
                if (xml.name() == u"numFmt") {
                    formats.insert(a.value(QLatin1String("numFmtId")).toInt(),
                                   shownBy(a.value(QLatin1String("formatCode")).toString()));
                } else if (xml.name() == u"cellXfs") {
                    inCellFormats = true;
                } else if (inCellFormats && xml.name() == u"xf") {
                    formatOfStyle << a.value(QLatin1String("numFmtId")).toInt();
                }
            }
            for (int id : std::as_const(formatOfStyle))
                styles << formats.value(id, shownByBuiltIn(id));
            return {};
        });
    }

    // A serial day number under a date or time format.
    QVariant dateOf(double serial, Shown shown) const {
        if (!std::isfinite(serial) || serial < 0 || serial >= LastSerial)
            return serial;
        const qint64 ms = std::llround(serial * MsPerDay);
        const qint64 days = ms / MsPerDay;
        const QTime time = QTime(0, 0).addMSecs(int(ms % MsPerDay));
        // The 1900 system counts a 29 February 1900 that never was: its
        // day 1 is 1900-01-01, day 61 is 1900-03-01.
        const QDate day = from1904    ? QDate(1904, 1, 1).addDays(days)
                          : days < 60 ? QDate(1899, 12, 31).addDays(days)
                                      : QDate(1899, 12, 30).addDays(days);
        switch (shown) {
        case Shown::Time:
            if (days == 0)
                return time;
            return QDateTime(day, time);
        case Shown::Date:
            if (time == QTime(0, 0))
                return day;
            return QDateTime(day, time);
        default:
            return QDateTime(day, time);
        }
    }

    Status readSheet(const QString& part, const XlsxBook::RowVisitor& visit) const {
        bool stopped = false;
        Status read = readXml(part, [&](QXmlStreamReader& xml) -> Status {
            int rowNumber = 0;
            while (!stopped && !xml.atEnd()) {
                xml.readNext();
                if (!xml.isStartElement() || xml.name() != u"row")
                    continue;
                const auto r = xml.attributes().value(QLatin1String("r"));
                const int number = r.isEmpty() ? rowNumber + 1 : r.toInt();
                if (number < 1 || number > MaxRows)
                    return damaged(path, part);
                rowNumber = number;
                XlsxBook::Row cells;
                int next = 0;
                while (xml.readNextStartElement()) {
                    if (xml.name() != u"c") {
                        xml.skipCurrentElement();
                        continue;
                    }
                    const auto a = xml.attributes();
                    const auto ref = a.value(QLatin1String("r"));
                    const int column = ref.isEmpty() ? next : columnOf(ref);
                    if (column < 0 || column >= MaxColumns)
                        return damaged(path, part);
                    next = column + 1;
                    auto value = cellValue(xml, a.value(QLatin1String("t")).toString(),
                                           a.value(QLatin1String("s")).toInt());
                    if (!value)
                        return damaged(path, part);
                    if (value->isNull())
                        continue;
                    while (cells.size() <= column)
                        cells << QVariant();
                    cells[column] = value.value();
                }
                if (xml.hasError())
                    break;
                if (!cells.isEmpty() && !visit(rowNumber, cells))
                    stopped = true;
            }
            return {};
        });
        return read;
    }

    // The value of a <c> element, read to its end.
    Result<QVariant> cellValue(QXmlStreamReader& xml, const QString& type, int style) const {
        QString raw;
        bool hasRaw = false;
        QString inlineText;
        bool hasInline = false;
        while (xml.readNextStartElement()) {
            if (xml.name() == u"v") {
                raw = xml.readElementText();
                hasRaw = true;
            } else if (xml.name() == u"is") {
                inlineText = itemText(xml);
                hasInline = true;
            } else {
                xml.skipCurrentElement();
            }
        }
        if (xml.hasError())
            return QVariant();
        if (type == u"inlineStr")
            return hasInline ? QVariant(inlineText) : QVariant();
        if (!hasRaw)
            return QVariant();
        if (type == u"s") {
            bool ok = false;
            const int index = raw.toInt(&ok);
            if (!ok || index < 0 || index >= strings.size())
                return Error{};
            return QVariant(strings[index]);
        }
        if (type == u"str" || type == u"e")
            return QVariant(raw);
        if (type == u"b")
            return QVariant(raw.trimmed() == u"1" || raw.trimmed() == u"true");
        if (type == u"d") {
            const QDateTime moment = QDateTime::fromString(raw, Qt::ISODateWithMs);
            if (moment.isValid())
                return QVariant(moment);
            const QDate day = QDate::fromString(raw, Qt::ISODate);
            return day.isValid() ? QVariant(day) : QVariant(raw);
        }
        if (raw.trimmed().isEmpty())
            return QVariant();
        bool ok = false;
        const double number = raw.trimmed().toDouble(&ok);
        if (!ok)
            return Error{};
        const Shown shown = style >= 0 && style < styles.size() ? styles[style] : Shown::Number;
        if (shown == Shown::Number)
            return QVariant(number);
        return dateOf(number, shown);
    }
};

XlsxBook::XlsxBook(std::shared_ptr<const XlsxBookData> data) : m_data(std::move(data)) {}

const QString& XlsxBook::path() const {
    return m_data->path;
}

QStringList XlsxBook::sheetNames() const {
    QStringList names;
    for (const auto& sheet : m_data->sheets)
        names << sheet.name;
    return names;
}

Status XlsxBook::forEachRow(int sheet, const RowVisitor& visit) const {
    if (sheet < 0 || sheet >= m_data->sheets.size())
        return Error{QStringLiteral("工作簿中没有第%1个工作表：").arg(sheet + 1) +
                     native(m_data->path)};
    return m_data->readSheet(m_data->sheets[sheet].part, visit);
}

Result<QList<XlsxBook::Row>> XlsxBook::rows(int sheet) const {
    QList<Row> rows;
    Status read = forEachRow(sheet, [&](int number, const Row& cells) {
        while (rows.size() < number)
            rows << Row();
        Row& row = rows[number - 1];
        for (qsizetype c = 0; c < cells.size(); ++c) {
            if (cells[c].isNull())
                continue;
            while (row.size() <= c)
                row << QVariant();
            row[c] = cells[c];
        }
        return true;
    });
    if (!read)
        return Error{read.error()};
    return rows;
}

Result<QList<XlsxBook::Row>> XlsxBook::rows(const QString& sheetName) const {
    const qsizetype index = sheetNames().indexOf(sheetName);
    if (index < 0)
        return Error{QStringLiteral("工作簿中没有工作表“") + sheetName + QStringLiteral("”：") +
                     native(m_data->path)};
    return rows(int(index));
}

namespace XlsxReader {

Result<XlsxBook> open(const QString& path) {
    const QFileInfo info(path);
    if (!info.exists())
        return Error{QStringLiteral("文件不存在：") + native(path)};
    QFile file(path);
    if (info.isDir() || !file.open(QIODevice::ReadOnly))
        return Error{QStringLiteral("不能读取文件：") + native(path)};
    const QByteArray head = file.read(8);
    // an old .xls, and an encrypted .xlsx, are compound documents
    if (head == QByteArray::fromHex("d0cf11e0a1b11ae1"))
        return Error{QStringLiteral("文件是旧版的.xls工作簿或加了密码的工作簿，请先另存为"
                                    "不加密的.xlsx：") +
                     native(path)};
    file.close();

    auto data = std::make_shared<XlsxBookData>();
    data->path = path;
    int code = 0;
    data->archive.zip = zip_open(QFile::encodeName(path).constData(), ZIP_RDONLY, &code);
    if (!data->archive.zip) {
        // a zip cut short (an unfinished copy) has lost its directory
        if (code == ZIP_ER_NOZIP && !head.startsWith("PK\x03\x04"))
            return Error{QStringLiteral("文件不是Excel工作簿（.xlsx）：") + native(path)};
        if (code == ZIP_ER_OPEN || code == ZIP_ER_READ || code == ZIP_ER_NOENT)
            return Error{QStringLiteral("不能读取文件：") + native(path)};
        return damaged(path, QStringLiteral("zip"));
    }
    // the workbook part named by the package's relationships, else the usual one
    QString workbook = QStringLiteral("xl/workbook.xml");
    auto package = data->relations(QString());
    if (!package)
        return Error{package.error()};
    for (const auto& r : std::as_const(package.value())) {
        if (r.type.endsWith(QLatin1String("/officeDocument")))
            workbook = r.target;
    }
    if (!data->has(workbook))
        return Error{QStringLiteral("文件不是Excel工作簿（.xlsx）：") + native(path)};
    if (Status s = data->readWorkbook(workbook); !s)
        return Error{s.error()};
    return XlsxBook(std::move(data));
}

} // namespace XlsxReader
