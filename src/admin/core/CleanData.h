#pragma once

#include "store/Db.h"
#include "store/Result.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

// Data initialisation: emptying chosen tables of the shop. Administrators,
// their log, the order counters and the reference lists are never touched.
namespace CleanData {

struct Step {
    QString caption; // the check box
    QString table;
    bool settledRentsOnly; // only 出租记录 rows with 已还 = "是"
    QString message;       // shown after the step ran
};

// The eleven steps in the order they run.
const QList<Step>& steps();

// Whether typed is the initialisation password (exact, case-sensitive, no
// trimming; compared in constant time).
bool passwordMatches(const QString& typed);

// Runs the chosen steps (indexes into steps(), any order, repeats allowed)
// in the order of steps(), all in one transaction: every step or none. Gives
// the messages of the steps run, in order. A step chosen twice runs twice.
// progress, when given, hears (steps run, steps chosen) after each step.
Result<QStringList> run(const Db& db, const QList<int>& chosen,
                        const std::function<void(int, int)>& progress = {});

} // namespace CleanData
