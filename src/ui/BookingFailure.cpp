#include "ui/BookingFailure.h"

#include "ui/Prompt.h"

bool tellBookingFailure(QWidget* parent, BookingKeys::Attempt& attempt, const QString& failedPrefix,
                        const QString& error) {
    switch (attempt.failed(error)) {
    case BookingKeys::Attempt::Failure::Unknown:
        Prompt::error(parent, error);
        return false;
    case BookingKeys::Attempt::Failure::DoneEarlier:
        Prompt::information(parent, error);
        return true;
    case BookingKeys::Attempt::Failure::NotDone:
        break;
    }
    Prompt::error(parent, failedPrefix + error);
    return false;
}
