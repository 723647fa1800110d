#include "output/core/Cells.h"

#include "store/Clock.h"
#include "store/Db.h"
#include "store/Schema.h"

#include <QHash>
#include <QSqlField>

namespace {

// The kind of every column of the shop's tables, by name (a SQLite driver
// reports no types).
const QHash<QString, Cells::Kind>& namedKinds() {
    static const QHash<QString, Cells::Kind> kinds = [] {
        using K = Cells::Kind;
        QHash<QString, K> k;
        const std::pair<ColumnType, K> typed[] = {{ColumnType::Money, K::Money},
                                                  {ColumnType::Date, K::Date},
                                                  {ColumnType::DateTime, K::DateTime},
                                                  {ColumnType::YesNo, K::YesNo},
                                                  {ColumnType::Picture, K::Picture}};
        for (const auto& [type, kind] : typed) {
            for (const QString& name : Schema::columnsOfType(type))
                k.insert(name, kind);
        }
        return k;
    }();
    return kinds;
}

// The stored forms "yyyy-MM-dd" and "yyyy-MM-dd hh:mm:ss" read directly
// (long lists hold many); anything else goes through Clock.
QDateTime parseStored(const QString& text) {
    auto digits = [&](int at, int n) {
        int value = 0;
        for (int i = at; i < at + n; ++i) {
            const char16_t c = text[i].unicode();
            if (c < u'0' || c > u'9')
                return -1;
            value = value * 10 + (c - u'0');
        }
        return value;
    };
    if ((text.size() == 10 || text.size() == 19) && text[4] == u'-' && text[7] == u'-') {
        const QDate day(digits(0, 4), digits(5, 2), digits(8, 2));
        if (day.isValid() && text.size() == 10)
            return day.startOfDay();
        if (day.isValid() && text[10] == u' ' && text[13] == u':' && text[16] == u':') {
            const QTime time(digits(11, 2), digits(14, 2), digits(17, 2));
            if (time.isValid())
                return QDateTime(day, time);
        }
    }
    return Clock::parseDateTime(text);
}

bool isInteger(int typeId) {
    return typeId == QMetaType::LongLong || typeId == QMetaType::Int ||
           typeId == QMetaType::ULongLong || typeId == QMetaType::UInt;
}

} // namespace

namespace Cells {

Kind kindOf(const QSqlField& field, Engine engine) {
    if (Dialect::of(engine).reportsColumnTypes()) {
        switch (field.metaType().id()) {
        case QMetaType::Double:
            // numeric(19,4): every amount of the shop
            return namedKinds().value(field.name(), Kind::Money) == Kind::Money ? Kind::Money
                                                                                : Kind::Plain;
        case QMetaType::QDate:
            return Kind::Date;
        case QMetaType::QDateTime:
            return Kind::DateTime;
        case QMetaType::Bool:
            return Kind::YesNo;
        case QMetaType::QByteArray:
            return Kind::Picture;
        default:
            return Kind::Plain;
        }
    }
    return namedKinds().value(field.name(), Kind::Plain);
}

Value read(const QVariant& stored, Kind kind, Engine engine) {
    Value v;
    if (stored.isNull())
        return v;
    const int type = stored.typeId();
    switch (kind) {
    case Kind::Picture:
        return v;
    case Kind::Money:
        if (isInteger(type) || type == QMetaType::Double || type == QMetaType::QString) {
            const QString text = stored.toString().trimmed();
            if (type == QMetaType::QString && !Money::parse(text))
                break; // not an amount after all: keep the text
            v.type = Value::Amount;
            v.amount = Dialect::of(engine).decodeMoney(stored);
            return v;
        }
        break;
    case Kind::Date:
    case Kind::DateTime: {
        QDateTime moment;
        if (type == QMetaType::QDateTime)
            moment = stored.toDateTime();
        else if (type == QMetaType::QDate)
            moment = stored.toDate().startOfDay();
        else if (type == QMetaType::QString)
            moment = parseStored(stored.toString());
        if (moment.isValid()) {
            v.type = kind == Kind::Date ? Value::Date : Value::DateTime;
            v.moment = moment;
            return v;
        }
        break;
    }
    case Kind::YesNo:
        if (type == QMetaType::Bool || isInteger(type)) {
            v.type = Value::Boolean;
            v.yes = stored.toBool();
            return v;
        }
        break;
    case Kind::Plain:
        break;
    }
    if (isInteger(type) || type == QMetaType::Double) {
        v.type = Value::Number;
        v.number = stored.toDouble();
        v.text = stored.toString();
        return v;
    }
    if (type == QMetaType::Bool) {
        v.type = Value::Boolean;
        v.yes = stored.toBool();
        return v;
    }
    if (type == QMetaType::QDateTime || type == QMetaType::QDate) {
        return read(stored, type == QMetaType::QDate ? Kind::Date : Kind::DateTime, engine);
    }
    if (type == QMetaType::QByteArray)
        return v;
    v.type = Value::Text;
    v.text = stored.toString();
    return v;
}

QString displayText(const Value& value) {
    switch (value.type) {
    case Value::Empty:
        return {};
    case Value::Text:
        return value.text;
    case Value::Number:
        return value.text.isEmpty() ? QString::number(value.number) : value.text;
    case Value::Amount:
        return value.amount.toString();
    case Value::Date:
        return Clock::formatDate(value.moment.date());
    case Value::DateTime:
        return Clock::formatDateTime(value.moment);
    case Value::Boolean:
        return value.yes ? QStringLiteral("是") : QStringLiteral("否");
    }
    return {};
}

QStringList namesOf(Kind kind) {
    QStringList names;
    for (auto it = namedKinds().cbegin(); it != namedKinds().cend(); ++it) {
        if (it.value() == kind)
            names << it.key();
    }
    names.sort();
    return names;
}

} // namespace Cells
