#pragma once

// The database engines the shop runs on: an embedded SQLite file, or a
// PostgreSQL server. What differs between them is said by store/Dialect.
enum class Engine { Sqlite, Postgres };
