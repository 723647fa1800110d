#pragma once

#include "store/BookingKeys.h"

#include <QString>

class QWidget;

// Tells the clerk what a booking under attempt's key that failed with
// error means: not done (failedPrefix, e.g. "销售没有完成: ", and the
// reason), outcome unknown (said as it is; the lines stay and the next press
// looks first), or done by an earlier try (said as information). Gives true
// in the last case: the lines are booked and the window starts afresh.
bool tellBookingFailure(QWidget* parent, BookingKeys::Attempt& attempt, const QString& failedPrefix,
                        const QString& error);
