// Reads arbitrary bytes as a style library item's data. A style that reads must archive and
// read back, and draw on a rectangle and along a track without trouble.
//
// With QUORVANE_FUZZ_SEED_DIR set, start-up first writes there the data of the factory track
// styles and of a style holding every special track component.
#include "FuzzSupport.h"
#include "platform/foundation/KeyedUnarchiver.h"
#include "platform/foundation/ZQLog.h"
#include "platform/graphics/GraphicsContext.h"
#include "tracks/FactoryTrackStyles.h"
#include "tracks/SpecialItemStyles.h"
#include "tracks/StyleLibraryCoding.h"
#include "tracks/TrackClasses.h"
#include "tracks/VXQTrack.h"
#include "tracks/VXQTaggedStroke.h"
#include "tracks/VXQTaperedStroke.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <cstdint>

namespace {

VXStylePtr everySpecialComponent()
{
    auto style = std::make_shared<VXStyle>();
    for (ZQSpecialItemKind kind : {ZQSpecialItemKind::Bridge, ZQSpecialItemKind::Tunnel, ZQSpecialItemKind::Cutting}) {
        const VXStylePtr special = styleForSpecialItem(kind);
        for (const VXRasterizerPtr& component : special->renderList())
            style->addRenderer(std::static_pointer_cast<VXRasterizer>(component->copy()));
    }
    style->addRenderer(std::make_shared<VXQTaggedStroke>());
    style->addRenderer(std::make_shared<VXQTaperedStroke>());
    return style;
}

void writeSeeds(const QString& folder)
{
    QDir().mkpath(folder);
    const QList<std::pair<const char*, VXStylePtr>> seeds{
        {"road", factoryRoadStyle()}, {"rail", factoryRailStyle()}, {"special", everySpecialComponent()}};
    for (const auto& [name, style] : seeds) {
        QFile file(QDir(folder).filePath(QStringLiteral("seed-%1.style").arg(QLatin1String(name))));
        if (file.open(QIODevice::WriteOnly))
            file.write(StyleLibraryCoding::fileData(*style));
    }
}

void setUp()
{
    fuzz::startQuietApplication<QApplication>("fuzz_style_file_data");
    registerTrackClasses();
    if (const QString folder = qEnvironmentVariable("QUORVANE_FUZZ_SEED_DIR"); !folder.isEmpty())
        writeSeeds(folder);
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
