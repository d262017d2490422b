// 20,000 labelled shapes, each naming itself ("%%name" from its attributes) with one block
// label in one of the eight compass placements or on its centre, a tenth of them with leader
// lines, rendered into a 4000 x 3000 image through a mapping layer (the label pass
// included), against the same shapes with their texts as text shapes and their leader lines
// as plain paths at the same places in a plain object layer.

#include "support/BenchSupport.h"
#include "support/DrawingImage.h"

#include "app/document/VXQMappingLayer.h"
#include "platform/foundation/ClassRegistry.h"
#include "platform/vantrix/drawables/VXDrawablePath.h"
#include "platform/vantrix/drawables/VXTextShape.h"
#include "platform/vantrix/model/VXDrawing.h"
#include "platform/vantrix/model/VXObjectDrawingLayer.h"
#include "symbols/SymbolClasses.h"
#include "symbols/shapes/VXQLabelledShape.h"

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QRandomGenerator>
#include <cstdio>

namespace {

constexpr QSize kCanvas(4000, 3000);
constexpr int kShapes = 20000;
constexpr int kLeaderEvery = 10;

struct Town {
    QList<VXQLabelledShapePtr> shapes;
};

Town makeTown()
{
    QRandomGenerator random(20261207);
    const QList<VXStylePtr> styles = {VXStyle::styleWithFillColourStrokeColour(QColor(0xAA, 0xD0, 0xE5), QColor(0x33, 0x33, 0x33)),
                                      VXStyle::styleWithFillColourStrokeColour(QColor(0xE8, 0xD8, 0xA0), QColor(0x80, 0x60, 0x20)),
                                      VXStyle::styleWithFillColourStrokeColour(QColor(0xC8, 0xE6, 0xC0), QColor(0x30, 0x60, 0x30))};
    Town town;
    for (int i = 0; i < kShapes; ++i) {
        const QSizeF size(10 + random.bounded(40.0), 8 + random.bounded(30.0));
        const QPointF at(100 + random.bounded(kCanvas.width() - 200.0), 100 + random.bounded(kCanvas.height() - 200.0));
        const QRectF rect(at, size);
        const bool oval = i % 3 == 1;
        auto shape = std::dynamic_pointer_cast<VXQLabelledShape>(
            oval ? VXDrawableShape::drawableShapeWithOvalInRect(rect, styles[i % 3])
                 : VXDrawableShape::drawableShapeWithRect(rect, styles[i % 3]));
        shape->setName(QStringLiteral("Place %1").arg(i));
        const VXQTextBlockLabelPtr label = VXQTextBlockLabel::label();
        label->setPlacement(1 + i % 10);
        if (i % kLeaderEvery == 0)
            label->setLeaderLine(std::make_shared<VXQLabelLeaderLine>());
        shape->addTextLabel(label);
        town.shapes.append(shape);
    }
    return town;
}

VXDrawingPtr labelledDrawing(const Town& town)
{
    VXDrawingPtr drawing = VXDrawing::drawingWithSize(kCanvas);
    auto layer = std::make_shared<VXQMappingLayer>();
    drawing->addLayer(layer);
    QList<VXDrawableObjectPtr> objects(town.shapes.begin(), town.shapes.end());
    layer->addObjectsFromArray(objects);
    return drawing;
}

// Each shape as a plain shape, its label's text as a text shape on the label's rectangle and its
// leader line as a path.
VXDrawingPtr plainDrawing(const Town& town)
{
    VXDrawingPtr drawing = VXDrawing::drawingWithSize(kCanvas);
    auto layer = std::make_shared<VXObjectDrawingLayer>();
    drawing->addLayer(layer);
    QList<VXDrawableObjectPtr> objects;
    for (const VXQLabelledShapePtr& shape : town.shapes) {
        auto plain = std::make_shared<VXDrawableShape>();
        plain->setPath(shape->path());
        plain->setSize(shape->size());
        plain->setLocation(shape->location());
        plain->setStyle(shape->style());
        objects.append(plain);
        auto* label = static_cast<VXQTextBlockLabel*>(shape->textLabels().first().get());
        auto text = VXTextShape::textShapeWithStringInRect(label->string(), label->labelRect());
        text->setFont(label->font());
        objects.append(text);
        if (const VXQLabelLeaderLinePtr& leader = label->leaderLine()) {
            label->updateLeaderLine();
            objects.append(VXDrawablePath::drawablePathWithBezierPathWithStyle(leader->renderingPath(), leader->style()));
        }
    }
    layer->addObjectsFromArray(objects);
    return drawing;
}

} // namespace

int main(int argc, char** argv)
{
    bench::useOffscreenPlatformUnlessTold();
    QApplication app(argc, argv);
    registerSymbolClasses();
    platform::ClassRegistry::setSubstituteClass(QStringLiteral("VXDrawableShape"), QStringLiteral("VXQLabelledShape"));

    const Town town = makeTown();
    const VXDrawingPtr labelled = labelledDrawing(town);
    const VXDrawingPtr plain = plainDrawing(town);
    std::fprintf(stderr, "shapes: %d, leader lines: %d\n", kShapes, kShapes / kLeaderEvery);

    QImage image;
    const auto [ours, peer] = bench::medianSecondsSideBySide(
        3, [&] { image = bench::renderDrawing(*labelled, labelled->bounds()); },
        [&] { image = bench::renderDrawing(*plain, plain->bounds()); });
    bench::keep(image);
    bench::printComparison(QStringLiteral("block_labels_20000"), ours, peer, 1.1);
    return 0;
}
