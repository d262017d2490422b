#pragma once

// One paper the texture chooser offers: a tiled picture from the bundle's textures, or a
// plain colour (named kQVNFixedColourTextureName), with a 48 x 24 swatch for its menu item.

#include <QBrush>
#include <QImage>
#include <QMetaType>
#include <QString>
#include <memory>

class VXQBackgroundTexture {
public:
    static constexpr QSize kSwatchSize{48, 24};

    // The picture of a file, named after it; null when the file holds no readable image.
    static std::shared_ptr<VXQBackgroundTexture> textureWithPath(const QString& path);
    VXQBackgroundTexture(const QImage& image, const QString& name);
    explicit VXQBackgroundTexture(const QColor& colour);

    QString name() const { return m_name; }
    // The texture (a brush with the tile) or the plain colour.
    QBrush color() const { return m_color; }
    QImage image() const { return m_image; }

    // "old paper.jpg" -> "Old Paper": the base name, each word capitalised.
    static QString displayNameForFileName(const QString& fileName);
    static QImage swatchOf(const QBrush& paper);

private:
    QString m_name;
    QBrush m_color;
    QImage m_image;
};

Q_DECLARE_METATYPE(std::shared_ptr<VXQBackgroundTexture>)
