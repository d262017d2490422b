#pragma once

// A map document of 100,000 eight-vertex paths in 24 stroke styles on a 4000 x 3000 point
// drawing, made from a seed, and the printed paper texture some benchmarks give it.

#include "app/document/VXQMappingLayer.h"
#include "app/document/ZQTrueQuorvaneDocument.h"
#include "platform/vantrix/drawables/VXDrawablePath.h"
#include "platform/vantrix/model/VXDrawing.h"

#include <QImage>
#include <QRandomGenerator>
#include <functional>

namespace benchscene {

inline constexpr int kMapPaths = 100000;
inline constexpr QSizeF kPathMapSize(4000, 3000);

// `decorate` may add to each path (given its index) before the paths join the active layer.
inline std::shared_ptr<ZQTrueQuorvaneDocument>
makePathMapDocument(quint32 seed, const std::function<void(VXDrawablePath&, int)>& decorate = {})
{
    constexpr int kVertices = 8;
    constexpr int kStyles = 24;
    auto document = std::make_shared<ZQTrueQuorvaneDocument>();
    document->initWithTypeError(kZQMapDocumentType, nullptr);
    document->drawing()->setDrawingSize(kPathMapSize);
    auto* layer = dynamic_cast<VXQMappingLayer*>(document->activeLayer());
    QList<VXStylePtr> styles;
    for (int i = 0; i < kStyles; ++i)
        styles << VXStyle::styleWithFillColourStrokeColourStrokeWidth(QColor(), QColor::fromHsv(i * 15, 200, 180),
                                                                      1 + i % 4);
    QRandomGenerator random(seed);
    QList<VXDrawableObjectPtr> paths;
    paths.reserve(kMapPaths);
    for (int i = 0; i < kMapPaths; ++i) {
        platform::BezierPath path;
        QPointF point(random.bounded(kPathMapSize.width()), random.bounded(kPathMapSize.height()));
        path.moveToPoint(point);
        for (int v = 1; v < kVertices; ++v) {
            point += QPointF(random.bounded(40.0) - 20, random.bounded(40.0) - 20);
            path.lineToPoint(point);
        }
        auto drawable = VXDrawablePath::drawablePathWithBezierPathWithStyle(path, styles[i % kStyles]);
        if (decorate)
            decorate(*drawable, i);
        paths << drawable;
    }
    layer->addObjectsFromArray(paths);
    return document;
}

inline void givePrintedPaperTexture(VXDrawing& drawing)
{
    QImage tile(64, 64, QImage::Format_RGB32);
    tile.fill(QColor(240, 232, 210));
    drawing.setPaperImage(tile);
    drawing.setPaperColourIsPrinted(true);
}

} // namespace benchscene
