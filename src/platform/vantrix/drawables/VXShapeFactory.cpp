#include "platform/vantrix/drawables/VXShapeFactory.h"

platform::BezierPath VXShapeFactory::diagonalCross()
{
    platform::BezierPath cross;
    cross.moveToPoint({-0.5, -0.5});
    cross.lineToPoint({0.5, 0.5});
    cross.moveToPoint({-0.5, 0.5});
    cross.lineToPoint({0.5, -0.5});
    return cross;
}
