#include "platform/vantrix/styles/VXZigZagStroke.h"

VXZigZagStroke::VXZigZagStroke()
    : ZigZagComponent(false)
{
}

QString VXZigZagStroke::displayName() const
{
    return tr("Zig-Zag Stroke");
}
