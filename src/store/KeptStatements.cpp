#include "store/KeptStatements.h"

namespace KeptStatements {

namespace {
thread_local QHash<QString, OfConnection> t_statements;
} // namespace

OfConnection& of(const QString& name, QSqlDriver* driver) {
    OfConnection& statements = t_statements[name];
    if (statements.driver != driver) {
        // another connection under the same name
        statements.byText.clear();
        statements.driver = driver;
    }
    return statements;
}

void keepAtMost(OfConnection& statements, int count) {
    while (statements.byText.size() > count) {
        auto oldest = statements.byText.end();
        for (auto it = statements.byText.begin(); it != statements.byText.end(); ++it) {
            if (!it.value()->busy && (oldest == statements.byText.end() ||
                                      it.value()->lastUse < oldest.value()->lastUse))
                oldest = it;
        }
        if (oldest == statements.byText.end())
            return;
        statements.byText.erase(oldest);
    }
}

void forget(const QString& name) {
    t_statements.remove(name);
}

int count(const QString& name) {
    const auto it = t_statements.constFind(name);
    return it == t_statements.cend() ? 0 : int(it->byText.size());
}

} // namespace KeptStatements
