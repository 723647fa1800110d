#pragma once

#include "store/Db.h"
#include "store/Result.h"

#include <QString>

// Administrator passwords. The column 管理员.pwd holds a salted Argon2id
// hash ("$argon2id$..."), never the password itself; a password is only
// ever checked against the hash.
namespace Passwords {

// A new salted hash of password (UTF-8).
Result<QString> hash(const QString& password);

// Whether password matches the stored hash. A stored value that is not a
// hash (NULL, empty, clear text) matches nothing.
bool verify(const QString& stored, const QString& password);

// Whether a stored pwd value is one of our hashes.
bool isHash(const QString& stored);

// Replaces every clear-text pwd of 管理员 by its hash, in one transaction:
// a database from before hashing (an old backup) keeps every account with
// its password, and no clear password remains. NULL stays NULL. Gives the
// number of accounts upgraded.
Result<int> upgradeClearText(const Db& db);

// Equality of two texts in a time that does not depend on where they
// differ (only on their lengths).
bool equalConstantTime(const QString& a, const QString& b);

} // namespace Passwords
