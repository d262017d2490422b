// Encoding and writing a 4000 x 4000 image in each bitmap format.

#include "support/BenchSupport.h"

#include "platform/graphics/ImageWriter.h"

#include <QGuiApplication>
#include <QLinearGradient>
#include <QPainter>
#include <QTemporaryDir>
#include <cstdio>

using platform::ImageFileType;
using platform::ImageWriter;

namespace {

constexpr int kSide = 4000;
constexpr int kRuns = 3;

// A map-like picture: gradients (many colours) under flat shapes and lines.
QImage mapImage()
{
    QImage image(kSide, kSide, QImage::Format_ARGB32);
    QPainter painter(&image);
    QLinearGradient sea(0, 0, kSide, kSide);
    sea.setColorAt(0, QColor(170, 208, 229));
    sea.setColorAt(1, QColor(40, 90, 160));
    painter.fillRect(image.rect(), sea);
    painter.setRenderHint(QPainter::Antialiasing);
    for (int i = 0; i < 200; ++i) {
        painter.setBrush(QColor::fromHsv((i * 37) % 360, 90, 220));
        painter.setPen(QPen(QColor(51, 51, 51), 3));
        painter.drawEllipse(QPointF((i * 911) % kSide, (i * 577) % kSide), 150, 90);
    }
    return image;
}

} // namespace

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    const QImage image = mapImage();
    QTemporaryDir folder;
    const struct {
        ImageFileType type;
        const char* name;
        double target; // seconds
    } formats[] = {{ImageFileType::PNG, "png", 4.0}, {ImageFileType::JPEG, "jpeg", 1.0}, {ImageFileType::TIFF, "tiff", 4.0},
                   {ImageFileType::GIF, "gif", 4.0}, {ImageFileType::BMP, "bmp", 1.0}};
    for (const auto& format : formats) {
        const QString path = folder.filePath(QStringLiteral("map.") + QLatin1String(format.name));
        bool failed = false;
        const double seconds = bench::medianSeconds(kRuns, [&] {
            failed |= ImageWriter::writeImageToFile(image, path, format.type).isError();
        });
        if (failed)
            std::fprintf(stderr, "writing %s failed\n", format.name);
        bench::printValue(QStringLiteral("write_%1_4000x4000").arg(format.name), seconds, "s", format.target);
    }
    return 0;
}
