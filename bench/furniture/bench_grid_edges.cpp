// An A0 landscape drawing (3370 x 2384 points, 2 cm margins) with a grid of 1 cm spans and 10
// divisions, lettered and numbered labels and an alternating, barred band with extended
// markers on all four edges, drawn in full into an image at one pixel to the point, against a
// plain grid layer of the same spacing drawn the same way. Labels are measured once, not per
// repaint, so a repaint costs little more than the grid lines.

#include "support/BenchSupport.h"

#include "furniture/FurnitureClasses.h"
#include "furniture/edges/VXQGridAnnotation.h"
#include "furniture/edges/VXQGridBorder.h"
#include "platform/measurement/ZQUnitLength.h"
#include "platform/vantrix/model/VXDrawing.h"
#include "platform/vantrix/model/VXGridLayer.h"
#include "platform/vantrix/render/DrawingRenderer.h"

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <cmath>

namespace {

constexpr QSizeF kA0Landscape(3370.39, 2383.94);
constexpr double kCentimetre = 28.346456692913;
constexpr double kMargin = 2 * kCentimetre;

// A grid layer that owns labels and a band and answers for them as the index grid does.
class LabelledGrid : public VXGridLayer, public VXQGridInfoProtocol {
public:
    VXQGridAnnotationPtr columns = VXQGridAnnotation::defaultAnnotation();
    VXQGridAnnotationPtr rows = VXQGridAnnotation::defaultAnnotation();
    VXQGridBorderPtr border = VXQGridBorder::defaultBorder();

    LabelledGrid()
    {
        columns->setOwner(this);
        columns->setIsAlphabetic(true);
        rows->setOwner(this);
        rows->setOrientationIsVertical(true);
        rows->setIsReversed(true);
        border->setOwner(this);
        border->setOrdnanceSurveyStyleEnabled(true);
    }

    VXDrawing* drawing() const override { return VXGridLayer::drawing(); }
    QRectF borderRect() const override { return drawing() ? drawing()->interior() : QRectF(); }
    double spanLength() const override
    {
        const double distance = spanDistance();
        return distance * spanMultiplier() * std::ceil(std::min(27.346456692913, 2 * divisions() * distance) / distance);
    }
    quint64 divisionsPerSpan() const override { return quint64(divisions()); }
    double borderAllowance() const override { return border->width() + border->offset(); }
    void setNeedsDisplayInRect(const QRectF& rect) const override { VXGridLayer::setNeedsDisplayInRect(rect); }

    void drawRectInViewShowingHighlighting(const QRectF& rect, VXDrawingView* view, bool highlighting) const override
    {
        VXGridLayer::drawRectInViewShowingHighlighting(rect, view, highlighting);
        border->drawInRect(rect);
        columns->drawInRectAtEdge(rect, kVXQGridEdgeTop | kVXQGridEdgeBottom);
        rows->drawInRectAtEdge(rect, kVXQGridEdgeLeft | kVXQGridEdgeRight);
    }
};

VXDrawingPtr a0DrawingWithGrid(const std::shared_ptr<VXGridLayer>& grid)
{
    VXDrawingPtr drawing = VXDrawing::drawingWithSize(kA0Landscape);
    drawing->setMarginsLeftTopRightBottom(kMargin, kMargin, kMargin, kMargin);
    drawing->addLayer(grid);
    grid->setDistanceForUnitSpanDrawingUnitsSpanDivisionsMajorsRulerSteps(kCentimetre, ZQUnitLength::centimeters(), 1.0,
                                                                         10, 5, 2);
    grid->setVisible(true);
    return drawing;
}

QImage render(const VXDrawing& drawing)
{
    QImage image(kA0Landscape.toSize(), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    QPainter painter(&image);
    platform::DrawingRenderer::drawDrawing(drawing, painter, drawing.bounds(), {});
    return image;
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    registerFurnitureClasses();

    const VXDrawingPtr labelled = a0DrawingWithGrid(std::make_shared<LabelledGrid>());
    const VXDrawingPtr plain = a0DrawingWithGrid(std::make_shared<VXGridLayer>());
    QImage image;
    const auto [ours, peer] = bench::medianSecondsSideBySide(
        20, [&] { image = render(*labelled); }, [&] { image = render(*plain); });
    bench::keep(image);
    bench::printComparison(QStringLiteral("grid_edges_draw_a0"), ours, peer, 1.5);
    return 0;
}
