#include "platform/vantrix/styles/VXShadowScaleLimit.h"

#include <algorithm>
#include <cmath>

namespace {
double g_limit = 0.0;
}

double VXShadowScaleLimit::shadowScaleLimit() { return g_limit; }

void VXShadowScaleLimit::setShadowScaleLimit(double limit)
{
    g_limit = std::isnan(limit) || limit <= 0 ? 0.0 : std::min(limit, kMaximum);
}
