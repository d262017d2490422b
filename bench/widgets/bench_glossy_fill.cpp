// 1,000 colour swatches of 40 x 16 points at device pixel ratio 2, each in its own colour:
// glossy fills against two-stop linear gradients of the same colours in the same run.
//
// Both sides spend about 95 % of their instructions in Qt building a 1,024-entry colour table
// for each fill (a thousand colours overflow its cache of a few dozen gradients): from the
// glossy fill's 64 stops that costs 105,000 instructions a fill, from two stops 49,000. Kept
// pixels cannot stand in for the table: a gradient's pixels depend in their last bit on where
// it is drawn, so a copy differs from a fresh fill. Hence a target of 2.3, not 2.

#include "support/BenchSupport.h"
#include "widgets/paint/CGShinyGradient.h"

#include <QApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <functional>

namespace {

constexpr int kSwatches = 1000;
constexpr int kColumns = 25;
constexpr QSizeF kSwatchSize(40, 16);
constexpr double kRatio = 2.0;

QRectF swatchRect(int index)
{
    return QRectF(QPointF((index % kColumns) * kSwatchSize.width(), (index / kColumns) * kSwatchSize.height()),
                  kSwatchSize);
}

QColor swatchColour(int index)
{
    return QColor::fromHsvF(float(index) / kSwatches, 0.3f + 0.5f * float(index % 7) / 6, 0.5f + 0.4f * float(index % 5) / 4);
}

void drawSwatches(QImage& image, const std::function<void(QPainter&, const QRectF&, const QColor&)>& fill)
{
    image.fill(Qt::white);
    QPainter painter(&image);
    for (int i = 0; i < kSwatches; ++i)
        fill(painter, swatchRect(i), swatchColour(i));
}

} // namespace

int main(int argc, char** argv)
{
    bench::useOffscreenPlatformUnlessTold();
    QApplication app(argc, argv);

    const int rows = (kSwatches + kColumns - 1) / kColumns;
    QImage image(int(kColumns * kSwatchSize.width() * kRatio), int(rows * kSwatchSize.height() * kRatio),
                 QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(kRatio);

    const auto glossy = [&] {
        drawSwatches(image, [](QPainter& painter, const QRectF& rect, const QColor& colour) {
            CGContextDrawShinyGradient(&painter, rect, colour, true);
        });
        bench::keep(image);
    };
    const auto twoStop = [&] {
        drawSwatches(image, [](QPainter& painter, const QRectF& rect, const QColor& colour) {
            QLinearGradient gradient(rect.topLeft(), rect.bottomLeft());
            gradient.setColorAt(0, colour.lighter(140));
            gradient.setColorAt(1, colour);
            painter.fillRect(rect, gradient);
        });
        bench::keep(image);
    };
    const auto [ours, peer] = bench::medianSecondsSideBySide(9, glossy, twoStop);
    bench::printComparison(QStringLiteral("glossy_fill_1000"), ours, peer, 2.3);
    return 0;
}
