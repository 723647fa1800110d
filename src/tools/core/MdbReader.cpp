#include "tools/core/MdbReader.h"

#include <QFileInfo>
#include <QStringDecoder>
#include <QtEndian>
#include <bit>
#include <cstring>
#include <vector>

#include <mdbtools.h>

// One open libmdb handle, closed when the file and its last table are gone.
struct MdbHandleOwner {
    MdbHandle* mdb = nullptr;
    ~MdbHandleOwner() {
        if (mdb)
            mdb_close(mdb);
    }
};

namespace {

// Bits of a row's offset on a data page: the row was deleted (or is the
// moved part of a row, read through its pointer), and the row holds only a
// pointer to where its data moved.
constexpr int RowDeleted = 0x4000;
constexpr int RowMoved = 0x8000;
constexpr int OffsetMask = 0x1fff;

// Bits of a long value's length: the bytes follow the header in the row,
// or fill one row of a long-value page; otherwise they run over a chain of
// rows, each starting with the next one's page and row.
constexpr quint32 LongValueInline = 0x80000000u;
constexpr quint32 LongValueOneRow = 0x40000000u;
constexpr quint32 LongValueLength = 0x3fffffffu;
constexpr int LongValueHeader = 12;

MdbType typeOf(int accessType) {
    switch (accessType) {
    case MDB_BOOL:
        return MdbType::YesNo;
    case MDB_BYTE:
    case MDB_INT:
    case MDB_LONGINT:
        return MdbType::Integer;
    case MDB_FLOAT:
    case MDB_DOUBLE:
        return MdbType::Real;
    case MDB_MONEY:
        return MdbType::Currency;
    case MDB_DATETIME:
        return MdbType::DateTime;
    case MDB_NUMERIC:
        return MdbType::Decimal;
    case MDB_TEXT:
        return MdbType::Text;
    case MDB_MEMO:
        return MdbType::Memo;
    case MDB_OLE:
    case MDB_BINARY:
        return MdbType::Binary;
    default:
        return MdbType::Other;
    }
}

template <typename T> T littleEndian(const unsigned char* bytes) {
    return qFromLittleEndian<T>(bytes);
}

double doubleAt(const unsigned char* bytes) {
    return std::bit_cast<double>(littleEndian<quint64>(bytes));
}

MdbTableDef* def(void* table) {
    return static_cast<MdbTableDef*>(table);
}

} // namespace

QString MdbColumnInfo::accessName() const {
    switch (accessType) {
    case MDB_BOOL:
        return QStringLiteral("Yes/No");
    case MDB_BYTE:
        return QStringLiteral("Byte");
    case MDB_INT:
        return QStringLiteral("Integer");
    case MDB_LONGINT:
        return autoNumber ? QStringLiteral("AutoNumber (Long Integer)")
                          : QStringLiteral("Long Integer");
    case MDB_MONEY:
        return QStringLiteral("Currency");
    case MDB_FLOAT:
        return QStringLiteral("Single");
    case MDB_DOUBLE:
        return QStringLiteral("Double");
    case MDB_DATETIME:
        return QStringLiteral("Date/Time");
    case MDB_BINARY:
        return QStringLiteral("Binary");
    case MDB_TEXT:
        return QStringLiteral("Text(%1)").arg(length);
    case MDB_OLE:
        return QStringLiteral("OLE Object");
    case MDB_MEMO:
        return QStringLiteral("Memo");
    case MDB_REPID:
        return QStringLiteral("Replication ID");
    case MDB_NUMERIC:
        return QStringLiteral("Decimal");
    default:
        return QStringLiteral("type %1").arg(accessType);
    }
}

// ---- MdbReader ---------------------------------------------------------------

Result<std::unique_ptr<MdbReader>> MdbReader::open(const QString& path) {
    const QFileInfo info(path);
    if (!info.isFile())
        return Error{QStringLiteral("找不到文件: %1").arg(path)};
    if (!info.isReadable())
        return Error{QStringLiteral("文件不能读: %1").arg(path)};
    // a Jet 3 file of a Chinese shop holds its names in GBK (libmdb reads
    // the setting when it opens a file)
    if (qEnvironmentVariableIsEmpty("MDB_JET3_CHARSET"))
        qputenv("MDB_JET3_CHARSET", "GB18030");
    auto owner = std::make_shared<MdbHandleOwner>();
    owner->mdb = mdb_open(QFile::encodeName(path).constData(), MDB_NOFLAGS);
    if (!owner->mdb)
        return Error{QStringLiteral("不是 Access 数据库文件, 或文件已损坏: %1").arg(path)};
    if (!mdb_read_catalog(owner->mdb, MDB_TABLE))
        return Error{QStringLiteral("读不出文件中的表 (文件已损坏?): %1").arg(path)};
    return std::unique_ptr<MdbReader>(new MdbReader(std::move(owner)));
}

MdbReader::~MdbReader() = default;

bool MdbReader::isJet3() const {
    return m_handle->mdb->f->jet_version == MDB_VER_JET3;
}

QString MdbReader::format() const {
    switch (m_handle->mdb->f->jet_version) {
    case MDB_VER_JET3:
        return QStringLiteral("Microsoft Access 97 (Jet 3)");
    case MDB_VER_JET4:
        return QStringLiteral("Microsoft Access 2000 (Jet 4)");
    case MDB_VER_ACCDB_2007:
        return QStringLiteral("Microsoft Access 2007 (.accdb)");
    case MDB_VER_ACCDB_2010:
        return QStringLiteral("Microsoft Access 2010 (.accdb)");
    default:
        return QStringLiteral("Microsoft Access (.accdb)");
    }
}

QStringList MdbReader::tables() const {
    QStringList names;
    MdbHandle* mdb = m_handle->mdb;
    for (unsigned i = 0; i < mdb->num_catalog; ++i) {
        auto* entry = static_cast<MdbCatalogEntry*>(g_ptr_array_index(mdb->catalog, i));
        if (entry->object_type == MDB_TABLE && mdb_is_user_table(entry))
            names << QString::fromUtf8(entry->object_name);
    }
    return names;
}

Result<std::unique_ptr<MdbTableReader>> MdbReader::table(const QString& name) {
    MdbHandle* mdb = m_handle->mdb;
    for (unsigned i = 0; i < mdb->num_catalog; ++i) {
        auto* entry = static_cast<MdbCatalogEntry*>(g_ptr_array_index(mdb->catalog, i));
        if (entry->object_type != MDB_TABLE || QString::fromUtf8(entry->object_name) != name)
            continue;
        MdbTableDef* table = mdb_read_table(entry);
        if (!table || !mdb_read_columns(table)) {
            if (table)
                mdb_free_tabledef(table);
            return Error{QStringLiteral("读不出表 %1 的定义 (文件已损坏?)").arg(name)};
        }
        mdb_rewind_table(table);
        return std::unique_ptr<MdbTableReader>(new MdbTableReader(m_handle, table, name));
    }
    return Error{QStringLiteral("文件中没有表 %1").arg(name)};
}

// ---- MdbTableReader --------------------------------------------------------------

MdbTableReader::MdbTableReader(std::shared_ptr<MdbHandleOwner> file, void* table, QString name)
    : m_file(std::move(file)), m_table(table), m_name(std::move(name)) {
    MdbTableDef* t = def(m_table);
    const bool jet3 = m_file->mdb->f->jet_version == MDB_VER_JET3;
    for (unsigned i = 0; i < t->num_cols; ++i) {
        auto* col = static_cast<MdbColumn*>(g_ptr_array_index(t->columns, i));
        MdbColumnInfo info;
        info.name = QString::fromUtf8(col->name);
        info.accessType = col->col_type;
        info.type = typeOf(col->col_type);
        info.autoNumber = col->is_long_auto != 0;
        info.length = col->col_type == MDB_TEXT ? (jet3 ? col->col_size : col->col_size / 2) : 0;
        m_columns << info;
    }
}

MdbTableReader::~MdbTableReader() {
    mdb_free_tabledef(def(m_table));
}

qint64 MdbTableReader::rowCount() const {
    return def(m_table)->num_rows;
}

Result<bool> MdbTableReader::next(QList<MdbValue>& values) {
    MdbTableDef* t = def(m_table);
    MdbHandle* mdb = m_file->mdb;
    for (;;) {
        if (!m_onPage || m_nextRow >= m_rowsOnPage) {
            if (!mdb_read_next_dpg(t))
                return false;
            m_onPage = true;
            m_rowsOnPage = mdb_get_int16(mdb->pg_buf, mdb->fmt->row_count_offset);
            m_nextRow = 0;
            continue;
        }
        int start = 0;
        size_t size = 0;
        const int row = m_nextRow++;
        if (mdb_find_row(mdb, row, &start, &size) != 0) {
            ++m_rowNumber;
            return Error{QStringLiteral("这一行的位置不对, 读不出 (文件已损坏?)")};
        }
        if (start & RowDeleted)
            continue;
        ++m_rowNumber;
        if (!(start & RowMoved))
            return readRow(start & OffsetMask, size, values);
        // the row moved to another page when it grew: follow its pointer,
        // then come back to this page
        const int at = start & OffsetMask;
        if (size < 4)
            return Error{QStringLiteral("这一行的位置不对, 读不出 (文件已损坏?)")};
        const auto* pointer = reinterpret_cast<const unsigned char*>(mdb->pg_buf) + at;
        const int movedRow = pointer[0];
        const quint32 movedPage = pointer[1] | (pointer[2] << 8) | (pointer[3] << 16);
        std::vector<unsigned char> page(mdb->pg_buf, mdb->pg_buf + sizeof mdb->pg_buf);
        Result<bool> read = Error{QStringLiteral("这一行移到的页读不出 (文件已损坏?)")};
        if (mdb_read_pg(mdb, movedPage) == mdb->fmt->pg_size &&
            mdb_find_row(mdb, movedRow, &start, &size) == 0)
            read = readRow(start & OffsetMask, size, values);
        std::memcpy(mdb->pg_buf, page.data(), page.size());
        return read;
    }
}

Result<bool> MdbTableReader::readRow(int rowStart, size_t rowSize, QList<MdbValue>& values) {
    MdbTableDef* t = def(m_table);
    std::vector<MdbField> fields(t->num_cols);
    if (t->num_cols == 0 || mdb_crack_row(t, rowStart, rowSize, fields.data()) < 0)
        return Error{QStringLiteral("这一行的内容读不出 (文件已损坏?)")};
    values.clear();
    values.reserve(t->num_cols);
    for (unsigned i = 0; i < t->num_cols; ++i) {
        auto value = valueOf(int(i), &fields[i]);
        if (!value)
            return Error{QStringLiteral("列 %1: %2").arg(m_columns.at(i).name, value.error())};
        values << std::move(value).value();
    }
    return true;
}

QString MdbTableReader::text(const unsigned char* bytes, int size) const {
    QString decoded;
    if (m_file->mdb->f->jet_version == MDB_VER_JET3) {
        QStringDecoder gbk("GB18030", QStringDecoder::Flag::Stateless);
        decoded = gbk.decode(QByteArrayView(bytes, size));
    } else if (size >= 2 && bytes[0] == 0xff && bytes[1] == 0xfe) {
        // compressed: runs of one-byte characters, a 00 byte switching
        // between one- and two-byte runs
        std::vector<char16_t> units;
        units.reserve(size);
        bool oneByte = true;
        for (int i = 2; i < size;) {
            if (bytes[i] == 0) {
                oneByte = !oneByte;
                ++i;
            } else if (oneByte) {
                units.push_back(bytes[i++]);
            } else if (i + 1 < size) {
                units.push_back(char16_t(bytes[i] | (bytes[i + 1] << 8)));
                i += 2;
            } else {
                break;
            }
        }
        decoded = QString(reinterpret_cast<const QChar*>(units.data()), qsizetype(units.size()));
    } else {
        std::vector<char16_t> units(size / 2);
        for (int i = 0; i + 1 < size; i += 2)
            units[i / 2] = char16_t(bytes[i] | (bytes[i + 1] << 8));
        decoded = QString(reinterpret_cast<const QChar*>(units.data()), qsizetype(units.size()));
    }
    // an empty text is a value, not the absence of one
    return decoded.isNull() ? QString(QLatin1String("")) : decoded;
}

Result<QByteArray> MdbTableReader::longValue(const unsigned char* header, int size) {
    if (size == 0)
        return QByteArray("", 0);
    if (size < LongValueHeader)
        return Error{QStringLiteral("长数据的开头不完整")};
    MdbHandle* mdb = m_file->mdb;
    const quint32 stored = littleEndian<quint32>(header);
    const qint64 length = stored & LongValueLength;
    if (stored & LongValueInline) {
        if (length > size - LongValueHeader)
            return Error{QStringLiteral("长数据比它所在的行还长")};
        return QByteArray(reinterpret_cast<const char*>(header) + LongValueHeader, length);
    }
    QByteArray bytes(0, Qt::Uninitialized);
    bytes.reserve(length);
    qint32 pgRow = littleEndian<qint32>(header + 4);
    const bool oneRow = stored & LongValueOneRow;
    // a chain can hold at most one page per byte: anything longer loops
    for (qint64 pages = 0; pgRow != 0 && bytes.size() < length; ++pages) {
        if (pages > length)
            return Error{QStringLiteral("长数据的页链不对 (文件已损坏?)")};
        void* buffer = nullptr;
        int start = 0;
        size_t rowSize = 0;
        if (mdb_find_pg_row(mdb, pgRow, &buffer, &start, &rowSize) != 0)
            return Error{QStringLiteral("长数据的页读不出 (文件已损坏?)")};
        start &= OffsetMask;
        if (start + qint64(rowSize) > mdb->fmt->pg_size)
            return Error{QStringLiteral("长数据的页读不出 (文件已损坏?)")};
        const auto* row = static_cast<const unsigned char*>(buffer) + start;
        if (oneRow) {
            bytes.append(reinterpret_cast<const char*>(row), qsizetype(rowSize));
            break;
        }
        if (rowSize < 4)
            return Error{QStringLiteral("长数据的页链不对 (文件已损坏?)")};
        pgRow = littleEndian<qint32>(row);
        bytes.append(reinterpret_cast<const char*>(row) + 4, qsizetype(rowSize) - 4);
    }
    if (bytes.size() < length)
        return Error{QStringLiteral("长数据不完整: 应有 %1 字节, 只读到 %2 字节")
                         .arg(length)
                         .arg(bytes.size())};
    bytes.truncate(length);
    return length == 0 ? QByteArray("", 0) : bytes;
}

Result<MdbValue> MdbTableReader::valueOf(int column, const void* fieldPointer) {
    const auto& field = *static_cast<const MdbField*>(fieldPointer);
    auto* col = static_cast<MdbColumn*>(g_ptr_array_index(def(m_table)->columns, column));
    if (col->col_type == MDB_BOOL) // kept in the null mask: set is yes
        return MdbValue(!field.is_null);
    if (field.is_null)
        return MdbValue();
    MdbHandle* mdb = m_file->mdb;
    if (field.start < 0 || field.siz < 0 || field.start + field.siz > mdb->fmt->pg_size)
        return Error{QStringLiteral("值的位置不对 (文件已损坏?)")};
    const auto* bytes = static_cast<const unsigned char*>(field.value);
    auto needs = [&](int size) { return field.siz >= size; };
    switch (col->col_type) {
    case MDB_BYTE:
        if (needs(1))
            return MdbValue(qint64(bytes[0]));
        break;
    case MDB_INT:
        if (needs(2))
            return MdbValue(qint64(littleEndian<qint16>(bytes)));
        break;
    case MDB_LONGINT:
        if (needs(4))
            return MdbValue(qint64(littleEndian<qint32>(bytes)));
        break;
    case MDB_MONEY:
        if (needs(8))
            return MdbValue(MdbCurrency{littleEndian<qint64>(bytes)});
        break;
    case MDB_FLOAT:
        if (needs(4))
            return MdbValue(double(std::bit_cast<float>(littleEndian<quint32>(bytes))));
        break;
    case MDB_DOUBLE:
        if (needs(8))
            return MdbValue(doubleAt(bytes));
        break;
    case MDB_DATETIME:
        if (needs(8))
            return MdbValue(MdbDateTime{doubleAt(bytes)});
        break;
    case MDB_NUMERIC:
        if (needs(17)) {
            char* decimal = mdb_numeric_to_string(mdb, field.start, col->col_scale, col->col_prec);
            MdbDecimal number{QString::fromLatin1(decimal)};
            g_free(decimal);
            return MdbValue(number);
        }
        break;
    case MDB_TEXT:
        return MdbValue(text(bytes, field.siz));
    case MDB_MEMO: {
        auto stored = longValue(bytes, field.siz);
        if (!stored)
            return Error{stored.error()};
        return MdbValue(text(reinterpret_cast<const unsigned char*>(stored.value().constData()),
                             int(stored.value().size())));
    }
    case MDB_OLE: {
        auto stored = longValue(bytes, field.siz);
        if (!stored)
            return Error{stored.error()};
        return MdbValue(std::move(stored).value());
    }
    default: // Binary, Replication ID and the like: the bytes as they are
        return MdbValue(field.siz == 0
                            ? QByteArray("", 0)
                            : QByteArray(reinterpret_cast<const char*>(bytes), field.siz));
    }
    return Error{QStringLiteral("值的长度不对 (文件已损坏?)")};
}
