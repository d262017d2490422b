#pragma once

// Fills the object's path in one colour, with an optional shadow.

#include "platform/vantrix/styles/VXShadow.h"

#include <QColor>

class VXFill : public VXRasterizer {
    Q_OBJECT
    Q_PROPERTY(QColor colour READ colour WRITE setColour)
    Q_PROPERTY(VXShadowPtr shadow READ shadow WRITE setShadow)
    Q_CLASSINFO("actionName:colour", "Fill Colour")
    Q_CLASSINFO("actionName:shadow", "Fill Shadow")

public:
    // White.
    VXFill();
    static std::shared_ptr<VXFill> fillWithColour(const QColor& colour);

    QString displayName() const override;

    QColor colour() const { return m_colour; }
    void setColour(const QColor& colour);
    VXShadowPtr shadow() const { return m_shadow; }
    void setShadow(const VXShadowPtr& shadow);

    void render(const VXRenderable& object) const override;
    QSizeF extraSpaceNeeded() const override;
    // A colour that shows, or a shadow.
    bool isValid() const override;

private:
    QColor m_colour = Qt::white;
    VXShadowPtr m_shadow;
};

using VXFillPtr = std::shared_ptr<VXFill>;
