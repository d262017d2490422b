// Reads arbitrary bytes as an archived multi-style path. A path that reads must archive and
// read back, draw in both passes, answer hit tests, positions and lengths, take a knob drag and
// the special items over a selection, all without trouble.
#include "FuzzSupport.h"
#include "platform/foundation/KeyedArchiver.h"
#include "platform/foundation/KeyedUnarchiver.h"
#include "platform/foundation/ZQLog.h"
#include "platform/graphics/GraphicsContext.h"
#include "platform/vantrix/styles/VantrixComponentClasses.h"
#include "platform/vantrix/model/VantrixDrawingClasses.h"
#include "platform/vantrix/styles/VantrixStyleClasses.h"
#include "tracks/TrackClasses.h"
#include "tracks/model/ZQMultiStylePath.h"

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <cstdint>

namespace {

void setUp()
{
    fuzz::startQuietApplication("fuzz_multistyle_path");
    registerVantrixStyleClasses();
    registerVantrixComponentClasses();
    registerVantrixDrawingClasses();
    registerTrackClasses();
}

void exercise(ZQMultiStylePath& path)
{
    QImage image(64, 64, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    {
        QPainter painter(&image);
        const platform::GraphicsContext::Scope scope(&painter);
        path.drawCasing();
        path.drawContentWithoutCasing();
        path.drawSelectedState();
    }
    const QRectF bounds = path.bounds();
    for (const QPointF& point : {bounds.center(), bounds.topLeft(), path.renderingPath().currentPoint()}) {
        path.hitPart(point);
        path.lengthForPoint(point);
        path.adornmentHitByPoint(point);
    }
    const double length = path.length();
    for (double position : {-1.0, 0.0, length / 3, length, length * 2})
        path.styleForPositionIncludingShims(position, true);
    path.searchableString();
    path.mouseDownAtPointInPartEvent(bounds.center(), kZQStyleBoundaryKnobPartBase, nullptr);
    path.mouseDraggedAtPointInPartEvent(bounds.bottomRight(), kZQStyleBoundaryKnobPartBase, nullptr);
    path.mouseUpAtPointInPartEvent(bounds.bottomRight(), kZQStyleBoundaryKnobPartBase, nullptr);
    path.setSelectionRange(ZQMakeAbsoluteStyleRange(length / 4, length / 2));
    path.insertTunnel(nullptr);
    path.insertPinchPoint(nullptr);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size)
{
    static const bool ready = (setUp(), true);
    Q_UNUSED(ready);
    const QByteArray data = QByteArray::fromRawData(reinterpret_cast<const char*>(bytes), qsizetype(size));
    const auto path = std::dynamic_pointer_cast<ZQMultiStylePath>(platform::KeyedUnarchiver::unarchiveObjectWithData(data));
    if (!path)
        return 0;
    const QByteArray again = platform::KeyedArchiver::archivedDataWithRootObject(path.get());
    QuorvaneError error;
    if (!platform::KeyedUnarchiver::unarchiveObjectWithData(again, &error))
        qFatal("a re-archived path did not read back: %s", qPrintable(error.localizedDescription()));
    exercise(*path);
    return 0;
}
