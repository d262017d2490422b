// Reads arbitrary bytes as a style library item's data. A style that reads must archive and
// read back, and draw on a rectangle and along a track without trouble.
#include "FuzzSupport.h"
#include "platform/foundation/KeyedUnarchiver.h"
#include "platform/foundation/ZQLog.h"
#include "platform/graphics/GraphicsContext.h"
#include "tracks/styles/StyleLibraryCoding.h"
#include "tracks/TrackClasses.h"
#include "tracks/model/VXQTrack.h"

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <cstdint>

namespace {

void setUp()
{
    fuzz::startQuietApplication<QApplication>("fuzz_style_file_data");
    registerTrackClasses();
}

void exercise(const VXStylePtr& style)
{
    QImage image(64, 64, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    const platform::GraphicsContext::Scope scope(&painter);
    StyleLibraryCoding::drawRect(*style, {8, 8, 48, 48});
    platform::BezierPath line;
    line.moveToPoint({4, 32});
    line.lineToPoint({60, 40});
    const VXQTrackPtr track = VXQTrack::trackWithPathType(line, kVXQRoadTrackType);
    track->setStyle(style);
    track->drawContent();
    track->bounds();
    StyleLibraryCoding::searchableStringForObject(*style, *track);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size)
{
    static const bool ready = (setUp(), true);
    Q_UNUSED(ready);
    const QByteArray data = QByteArray::fromRawData(reinterpret_cast<const char*>(bytes), qsizetype(size));
    const VXStylePtr style = StyleLibraryCoding::libraryObjectWithFileData(data);
    if (!style)
        return 0;
    if (!StyleLibraryCoding::libraryObjectWithFileData(StyleLibraryCoding::fileData(*style)))
        qFatal("a re-archived style did not read back");
    exercise(style);
    return 0;
}
