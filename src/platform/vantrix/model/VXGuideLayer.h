#pragma once

// Horizontal and vertical guide lines across the drawing that points snap to. Adding and
// removing guides is undoable and posts kVXGuideLayerDidAddGuide / kVXGuideLayerDidRemoveGuide
// ("guide": the guide) with the layer as sender. Guides neither print nor become active.

#include "platform/vantrix/model/VXLayer.h"

#include <QMetaType>

namespace platform {

struct Guide {
    double position = 0; // x of a vertical guide, y of a horizontal one (drawing coordinates)
    bool isVertical = false;
    bool operator==(const Guide&) const = default;
};

} // namespace platform

Q_DECLARE_METATYPE(platform::Guide)

inline const QString kVXGuideLayerDidAddGuide = QStringLiteral("kVXGuideLayerDidAddGuide");
inline const QString kVXGuideLayerDidRemoveGuide = QStringLiteral("kVXGuideLayerDidRemoveGuide");

class VXGuideLayer : public VXLayer {
    Q_OBJECT
    Q_PROPERTY(double snapTolerance READ snapTolerance WRITE setSnapTolerance)
    Q_PROPERTY(QColor guideColour READ guideColour WRITE setGuideColour)

public:
    VXGuideLayer();
    ~VXGuideLayer() override;

    QList<platform::Guide> guides() const { return m_guides; }
    QList<double> horizontalGuides() const;
    QList<double> verticalGuides() const;
    // Guides with a position that is not finite are ignored, as are duplicates.
    void addGuide(const platform::Guide& guide);
    void removeGuide(const platform::Guide& guide);
    // Removes every guide (one undo step).
    Q_INVOKABLE void clearGuides(QObject* sender = nullptr);

    // How near (points) a point must come to a guide to snap to it.
    double snapTolerance() const { return m_snapTolerance; }
    void setSnapTolerance(double points);
    QColor guideColour() const { return m_guideColour; }
    void setGuideColour(const QColor& colour);

    // The point moved onto the nearest guide within the tolerance, each way.
    QPointF snapPointToGuide(QPointF point) const;
    // The offset that moves the first of the points that is near a guide onto it, each way.
    QPointF offsetToSnapPointsToGuide(const QList<QPointF>& points) const;

    bool layerMayBecomeActive() const override { return false; }
    // "4 Guides".
    QString auxiliaryInfoString() const override;
    QStringList notificationNamesAffectingAuxiliaryInfo() const override;
    QString iconName() const override;
    bool hasContent() const override { return !m_guides.isEmpty(); }
    void drawRectInViewShowingHighlighting(const QRectF& rect, VXDrawingView* view, bool highlighting) const override;

    void encodeWithCoder(platform::KeyedArchiver& coder) const override;
    void initWithCoder(platform::KeyedUnarchiver& coder) override;

private:
    // The nearest guide position of that orientation within the tolerance of `value`.
    std::optional<double> nearestGuide(double value, bool vertical) const;
    void insertGuide(const platform::Guide& guide);
    void eraseGuide(const platform::Guide& guide);

    QList<platform::Guide> m_guides;
    double m_snapTolerance = 6;
    QColor m_guideColour{64, 140, 255};
};
