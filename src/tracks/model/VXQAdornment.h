#pragma once

// An object a multi-style path carries at a point along its length: a placed symbol, or a
// copy of any drawable. The object keeps its own geometry; the adornment places it, moving its
// location to the path point at `position`, `lateralOffset` to the right of the direction of
// travel, turned with the path (unless it ignores the path's angle) plus `angleInDegrees`,
// half a turn more when reversed, and scaled by `scale`.
//
// Every key is observable and undoable on the carrying path's undo manager.

#include "platform/foundation/ZQObject.h"
#include "platform/vantrix/drawables/VXDrawableObject.h"

#include <QPointer>
#include <QTransform>

class VXDrawingView;
class VXQAdornment;
class ZQMultiStylePath;
using VXQAdornmentPtr = std::shared_ptr<VXQAdornment>;

class VXQAdornment : public ZQObject {
    Q_OBJECT
    Q_PROPERTY(double position READ position WRITE setPosition)
    Q_PROPERTY(double lateralOffset READ lateralOffset WRITE setLateralOffset)
    Q_PROPERTY(double angleInDegrees READ angleInDegrees WRITE setAngleInDegrees)
    Q_PROPERTY(double scale READ scale WRITE setScale)
    Q_PROPERTY(bool reversed READ reversed WRITE setReversed)
    Q_PROPERTY(bool ignoresAngle READ ignoresAngle WRITE setIgnoresAngle)
    Q_PROPERTY(QString displayName READ displayName STORED false)
    Q_PROPERTY(bool hasSymbol READ hasSymbol STORED false)

public:
    VXQAdornment();
    ~VXQAdornment() override;

    static VXQAdornmentPtr adornmentWithObjectPositionDisplayName(const VXDrawableObjectPtr& object, double position,
                                                                  const QString& displayName);

    VXDrawableObjectPtr object() const { return m_object; }
    // Whether the object is a placed symbol.
    bool hasSymbol() const;
    // Whether the object carries text labels of its own: it answers "hasTextLabels" (placed
    // symbols, labelled shapes and paths do) with true.
    bool hasTextLabels() const;
    QString displayName() const { return m_displayName; }

    // Path-length units from the start of the path; negative values count as 0.
    double position() const { return m_position; }
    void setPosition(double position);
    double lateralOffset() const { return m_lateralOffset; }
    void setLateralOffset(double offset);
    double angleInDegrees() const { return m_angleInDegrees; }
    void setAngleInDegrees(double degrees);
    // Positive; other values are refused.
    double scale() const { return m_scale; }
    void setScale(double scale);
    bool reversed() const { return m_reversed; }
    void setReversed(bool reversed);
    bool ignoresAngle() const { return m_ignoresAngle; }
    void setIgnoresAngle(bool ignores);

    // The path carrying the adornment; set by the path.
    ZQMultiStylePath* container() const;
    void setContainer(ZQMultiStylePath* path);

    // Maps the object's coordinates to where it is drawn on `path`.
    QTransform transformOnPath(const platform::BezierPath& path) const;
    QRectF boundsOnPath(const platform::BezierPath& path) const;
    bool hitTestOnPath(QPointF point, const platform::BezierPath& path) const;
    // Into GraphicsContext::current().
    void drawOnPath(const platform::BezierPath& path) const;
    // The object's own labels; they draw nothing while hidden.
    void drawTextLabelsInView(VXDrawingView* view) const;

    std::shared_ptr<ZQObject> copy() const override;
    void encodeWithCoder(platform::KeyedArchiver& coder) const override;
    void initWithCoder(platform::KeyedUnarchiver& coder) override;

private:
    template <class T>
    void changeValueForKey(T& field, const T& value, const char* key);

    VXDrawableObjectPtr m_object;
    QString m_displayName;
    double m_position = 0;
    double m_lateralOffset = 0;
    double m_angleInDegrees = 0;
    double m_scale = 1.0;
    bool m_reversed = false;
    bool m_ignoresAngle = false;
    QPointer<ZQMultiStylePath> m_container;
};

Q_DECLARE_METATYPE(VXQAdornmentPtr)
