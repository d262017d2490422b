#include "windows/textures/VXQBackgroundTexture.h"

#include "app/setup/DrawingSetupSettings.h"
#include "platform/vantrix/model/VXDrawing.h"

#include <QFile>
#include <QFileInfo>
#include <QPainter>

std::shared_ptr<VXQBackgroundTexture> VXQBackgroundTexture::textureWithPath(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return nullptr;
    const QImage tile = VXDrawing::readPaperTile(file);
    if (tile.isNull())
        return nullptr;
    return std::make_shared<VXQBackgroundTexture>(tile, displayNameForFileName(QFileInfo(path).fileName()));
}

VXQBackgroundTexture::VXQBackgroundTexture(const QImage& image, const QString& name)
    : m_name(name), m_color(image), m_image(swatchOf(m_color))
{
}

VXQBackgroundTexture::VXQBackgroundTexture(const QColor& colour)
    : m_name(kQVNFixedColourTextureName), m_color(colour), m_image(swatchOf(m_color))
{
}

QString VXQBackgroundTexture::displayNameForFileName(const QString& fileName)
{
    QStringList words = QFileInfo(fileName).completeBaseName().split(QLatin1Char(' '));
    for (QString& word : words)
        if (!word.isEmpty())
            word = word.left(1).toUpper() + word.mid(1).toLower();
    return words.join(QLatin1Char(' '));
}

QImage VXQBackgroundTexture::swatchOf(const QBrush& paper)
{
    QImage swatch(kSwatchSize, QImage::Format_ARGB32_Premultiplied);
    swatch.fill(Qt::transparent);
    QPainter painter(&swatch);
    painter.fillRect(swatch.rect(), paper);
    painter.setPen(QColor(0, 0, 0, 96));
    painter.drawRect(swatch.rect().adjusted(0, 0, -1, -1));
    return swatch;
}
