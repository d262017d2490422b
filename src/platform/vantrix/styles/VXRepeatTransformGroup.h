#pragma once

// Draws its components again and again, each copy moved from the one before by the same
// step: turned by deltaAngle (radians) and scaled by scaleX / scaleY about the object's
// location, then moved by (deltaX, deltaY). With angleIsRelative the move is measured along
// the object's own axes. The original comes first and the last copy ends on top, unless
// reversed. With a blend colour the copies are tinted towards it, the last one fully.

#include "platform/vantrix/styles/VXRastGroup.h"

#include <QColor>
#include <QTransform>

class VXRepeatTransformGroup : public VXRastGroup {
    Q_OBJECT
    Q_PROPERTY(double deltaX READ deltaX WRITE setDeltaX)
    Q_PROPERTY(double deltaY READ deltaY WRITE setDeltaY)
    Q_PROPERTY(double scaleX READ scaleX WRITE setScaleX)
    Q_PROPERTY(double scaleY READ scaleY WRITE setScaleY)
    Q_PROPERTY(double deltaAngle READ deltaAngle WRITE setDeltaAngle)
    Q_PROPERTY(int numberOfRepeats READ numberOfRepeats WRITE setNumberOfRepeats)
    Q_PROPERTY(bool angleIsRelative READ angleIsRelative WRITE setAngleIsRelative)
    Q_PROPERTY(bool reversed READ reversed WRITE setReversed)
    Q_PROPERTY(QColor blendColour READ blendColour WRITE setBlendColour)
    Q_CLASSINFO("actionName:deltaX", "Repeat X Offset")
    Q_CLASSINFO("actionName:deltaY", "Repeat Y Offset")
    Q_CLASSINFO("actionName:scaleX", "Repeat X Scale")
    Q_CLASSINFO("actionName:scaleY", "Repeat Y Scale")
    Q_CLASSINFO("actionName:deltaAngle", "Repeat Rotation")
    Q_CLASSINFO("actionName:numberOfRepeats", "Number of Repeats")
    Q_CLASSINFO("actionName:angleIsRelative", "Relative Repeat Rotation")
    Q_CLASSINFO("actionName:reversed", "Reverse Repeats")
    Q_CLASSINFO("actionName:blendColour", "Repeat Blend Colour")

public:
    static constexpr int kMaximumNumberOfRepeats = 1000;
    static constexpr double kMaximumScale = 10;

    // Four copies, each 5 units right of and below the one before; no blend colour.
    VXRepeatTransformGroup();

    QString displayName() const override;

    double deltaX() const { return m_deltaX; }
    void setDeltaX(double delta);
    double deltaY() const { return m_deltaY; }
    void setDeltaY(double delta);
    // Above 0, at most kMaximumScale.
    double scaleX() const { return m_scaleX; }
    void setScaleX(double scale);
    double scaleY() const { return m_scaleY; }
    void setScaleY(double scale);
    double deltaAngle() const { return m_deltaAngle; }
    void setDeltaAngle(double radians);
    // Copies besides the original: 0 ... kMaximumNumberOfRepeats.
    int numberOfRepeats() const { return m_numberOfRepeats; }
    void setNumberOfRepeats(int count);
    bool angleIsRelative() const { return m_angleIsRelative; }
    void setAngleIsRelative(bool relative);
    bool reversed() const { return m_reversed; }
    void setReversed(bool reversed);
    // Invalid: no tint.
    QColor blendColour() const { return m_blendColour; }
    void setBlendColour(const QColor& colour);

    // Maps the original to copy `index` (0 is the original itself) on the object.
    QTransform transformForCopyOfObject(int index, const VXRenderable& object) const;

    void render(const VXRenderable& object) const override;
    // The members' reach plus the moves; turning and scaling are not counted.
    QSizeF extraSpaceNeeded() const override;

private:
    void renderCopy(int index, const VXRenderable& object) const;

    double m_deltaX = 5;
    double m_deltaY = 5;
    double m_scaleX = 1;
    double m_scaleY = 1;
    double m_deltaAngle = 0;
    int m_numberOfRepeats = 4;
    bool m_angleIsRelative = false;
    bool m_reversed = false;
    QColor m_blendColour;
};

using VXRepeatTransformGroupPtr = std::shared_ptr<VXRepeatTransformGroup>;
