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

// A power cut. Once armed (before the database is opened), writes and
// truncations reach a file only at its next sync; until then they are held
// in memory and read back from there, as from a disk's cache. At the nth
// write or sync from arming the power goes: of the changes held for each
// file a random first part reaches the file, the next one a write torn at a
// random byte or lost, the rest lost, and the process ends at once with
// exit status PowerCutExit. Files are created and deleted at once.
inline constexpr int PowerCutExit = 75;
void armPowerCut(std::int64_t nth, std::uint32_t seed);

} // namespace FaultyVfs
