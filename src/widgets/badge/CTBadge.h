#pragma once

// Count badges: a gradient-filled lozenge (its outline from mask artwork wide enough for the
// label), a short bold label and a soft drop shadow, as images at a device pixel ratio.
// Small badges are 23 points high, large ones 46. Values above 99999 read "∞"; labels of 6
// or more characters are cut to 3 and an ellipsis. A badge can also be composed into the
// upper right corner of a 128-point overlay, and onto the application's icon, which here
// becomes the icon of its windows (there is no dock).
//
// Images are premultiplied ARGB with the ratio as their device pixel ratio; a size that
// would need more than KitImage::kMaximumPixels pixels gives an empty image. A size that is
// not positive is a programming error: "NSInvalidArgumentException" naming the class and
// method.

#include "platform/foundation/ZQObject.h"
#include "platform/graphics/AttributedString.h"
#include "platform/graphics/Gradient.h"
#include "widgets/paint/KitImage.h"

#include <QColor>
#include <QImage>
#include <memory>

class CTBadge : public ZQObject {
    Q_OBJECT
    Q_PROPERTY(QColor badgeColor READ badgeColor WRITE setBadgeColor)
    Q_PROPERTY(QColor labelColor READ labelColor WRITE setLabelColor)

public:
    static constexpr double kSmallBadgeSize = 23.0;
    static constexpr double kLargeBadgeSize = 46.0;
    static constexpr quint64 kLargestShownValue = 99999;

    // Red with a white label, images at the application's device pixel ratio.
    CTBadge();

    static std::shared_ptr<CTBadge> systemBadge();
    static std::shared_ptr<CTBadge> badgeWithColorLabelColor(const QColor& badgeColor, const QColor& labelColor);

    QColor badgeColor() const { return m_badgeColor; }
    void setBadgeColor(const QColor& colour);
    QColor labelColor() const { return m_labelColor; }
    void setLabelColor(const QColor& colour);
    // Pixels per point of the images made.
    double devicePixelRatio() const { return m_devicePixelRatio; }
    void setDevicePixelRatio(double ratio);

    QImage smallBadgeForValue(quint64 value) const;
    QImage smallBadgeForString(const QString& string) const;
    QImage largeBadgeForValue(quint64 value) const;
    QImage largeBadgeForString(const QString& string) const;
    QImage badgeOfSizeForValue(double size, quint64 value) const;
    QImage badgeOfSizeForString(double size, const QString& string) const;

    // 128 x 128 points, transparent but for the large badge in the upper right corner, inset.
    QImage badgeOverlayImageForStringInsetXY(const QString& string, double insetX, double insetY) const;
    QImage badgeOverlayImageForValueInsetXY(quint64 value, double insetX, double insetY) const;
    // The overlay over the application icon, installed as the application's window icon.
    void badgeApplicationDockIconWithStringInsetXY(const QString& string, double insetX, double insetY) const;
    void badgeApplicationDockIconWithValueInsetXY(quint64 value, double insetX, double insetY) const;

    // Building blocks.
    static QString stringForValue(quint64 value);
    platform::AttributedString labelForStringSize(const QString& string, unsigned fontSize) const;
    platform::Gradient badgeGradient() const;
    struct Mask {
        KitImage artwork;
        QSizeF size; // points
    };
    // The mask artwork for a label of `length` characters, `size` points high (its own height
    // when `size` is not positive) and as much wider as that, rounded to whole points.
    static Mask badgeMaskOfSizeLength(double size, qsizetype length);

private:
    QColor m_badgeColor = Qt::red;
    QColor m_labelColor = Qt::white;
    double m_devicePixelRatio = 1.0;
};
