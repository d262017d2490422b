#include "platform/vantrix/styles/VXZigZagFill.h"

VXZigZagFill::VXZigZagFill()
    : ZigZagComponent(true)
{
}

QString VXZigZagFill::displayName() const
{
    return tr("Zig-Zag Fill");
}
