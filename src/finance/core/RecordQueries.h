#pragma once

#include "store/ListQuery.h"
#include "store/Result.h"

#include <QDate>
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>
#include <optional>

// The six record lists (rent, income, sale, purchase, expense and refund
// records): what each filters on, its first statement, its columns and
// footer, and the search statement built from the filter boxes.
enum class RecordKind { Rent, Income, Sales, Purchases, Expenses, Refunds };

struct RecordTextFilter {
    QString caption; // the box's label
    QString column;  // compared for equality with the text exactly as typed
};

struct RecordDateFilter {
    QString caption;
    QString column;
    QString invalidMessage; // when the end date is before the start date
};

struct RecordQueryConfig {
    RecordKind kind = RecordKind::Rent;
    QString title; // the window's caption
    QString table;
    QList<RecordTextFilter> texts;
    QList<RecordDateFilter> dates;
    // The pickers start at 1 January 2000 (else at yesterday); the end
    // pickers at tomorrow.
    bool pickersFromYear2000 = true;
    // The rent records' "是否已还" choice, always part of the search.
    bool returnedChoice = false;
    QStringList columns; // shown, in this order
    QStringList hidden;  // in the result but not shown
    QStringList money;
    QList<QPair<QString, QString>> captions; // column -> header, where they differ
    QString countColumn;
    QStringList sumColumns;
};

const RecordQueryConfig& recordQueryConfig(RecordKind kind);
QList<RecordKind> allRecordKinds();

// "否" first: the rent records open on the items still out.
inline const QStringList ReturnedChoices = {QStringLiteral("否"), QStringLiteral("是")};

struct DateRange {
    QDate from;
    QDate to;
};

// What the filter panel holds: one text per text filter (in the config's
// order), one range per date filter (nullopt when its box is unticked),
// and the returned choice.
struct RecordFilter {
    QStringList texts;
    QList<std::optional<DateRange>> dates;
    QString returned;
};

// The conditions of one search, joined by " and ". Every value is a bound
// parameter; a date bound is the start of its day and the end bound is not
// included, so an end date of 1 March finds nothing from midnight of
// 1 March on.
class RecordConditions {
public:
    // Joins the next condition: " and " when there is one already.
    void AddSqlAnd();
    // column = text, exactly as typed; nothing when the text is empty.
    void addEquals(const QString& column, const QString& text);
    // column = value, always (the rent records' 已还 choice).
    void addRequired(const QString& column, const QVariant& value);
    void addRange(const QString& column, const DateRange& range);

    const QString& text() const { return m_text; }
    const QVariantList& params() const { return m_params; }
    bool isEmpty() const { return m_text.isEmpty(); }

private:
    void append(const QString& column, const char* op, const QVariant& value);
    QString m_text;
    QVariantList m_params;
};

namespace RecordQueries {

// The first statement of the window (rent records: items still out;
// income and expenses: rows from midnight today on; the rest: all rows).
ListQuery initialQuery(RecordKind kind, const QDate& today, const QString& connectionName);

// The "查询" statement. A ticked range whose end is before its start is
// refused with its message; no condition at all (possible everywhere but
// in the rent records) gives nullopt: the list stays as it was.
Result<std::optional<ListQuery>> searchQuery(RecordKind kind, const RecordFilter& filter,
                                             const QString& connectionName);

} // namespace RecordQueries
