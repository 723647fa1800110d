#pragma once

#include "store/Result.h"

#include <atomic>
#include <functional>

class QProgressBar;

// Long work that opens connections of its own (a backup, a restore) run on
// a worker thread while the window keeps painting: the work reports how
// far it got (0 to 100) through its step, which answers false once the
// window asked it to stop. The outcome is handed over when the thread has
// ended.
namespace WorkerTask {

using Step = std::function<bool(int percent)>;
using Work = std::function<Status(const Step& step)>;

// Runs work and the caller's events until it ends; bar (may be null) shows
// the percentage.
Status run(const Work& work, QProgressBar* bar, const std::atomic<bool>& stop);

} // namespace WorkerTask
