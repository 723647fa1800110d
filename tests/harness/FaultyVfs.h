#pragma once

#include <cstdint>

// A wrapper around SQLite's default file system layer, registered as the
// new default, so every connection opened afterwards (Qt's driver included:
// it uses the same shared libsqlite3) goes through it. Armed, it fails the
// Nth write, sync or lock from the moment of arming: once, or that one and
// every later one.
namespace FaultyVfs {

enum class Operation { Write, Sync, Lock };
enum class Mode { Once, FromThenOn };

bool install();
void arm(Operation operation, std::int64_t nth, Mode mode);
void disarm();
// Failures returned since the last arm.
std::int64_t injected();
// Calls of the armed operation since the last arm.
std::int64_t calls();

} // namespace FaultyVfs
