#include "widgets/tracking/WheelDelta.h"

#include <QWheelEvent>

namespace {
// Qt reports wheel angles in eighths of a degree; a notch turns 15 degrees.
constexpr double kAngleUnitsPerNotch = 120.0;
} // namespace

double wheelDeltaY(const QWheelEvent& event)
{
    return event.angleDelta().y() / kAngleUnitsPerNotch;
}
