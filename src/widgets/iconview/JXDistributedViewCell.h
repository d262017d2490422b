#pragma once

// The prototype cell through which the free-layout icon view draws, measures and edits every
// item: the data source fills it (title, image, state) just before each use. This base class
// is the plain cell a view falls back to: it shows the image over a centred title. It is a
// ZQObject, so a view archives and copies its prototype.

#include "platform/foundation/ZQObject.h"

#include <QFont>
#include <QImage>
#include <QRectF>

class QPainter;
class QWidget;

class JXDistributedViewCell : public ZQObject {
    Q_OBJECT

public:
    // What a drawing pass knows of its destination.
    struct DrawContext {
        bool toScreen = true;      // false when printing or drawing into an image
        bool windowIsMain = true;  // the view's window is the active one
        bool flipped = true;       // y grows downwards (always so in Qt views)
        bool liveResize = false;
        QWidget* controlView = nullptr;
    };

    Q_INVOKABLE JXDistributedViewCell();

    QString stringValue() const { return m_stringValue; }
    void setStringValue(const QString& value) { m_stringValue = value; }
    QImage image() const { return m_image; }
    virtual void setImage(const QImage& image) { m_image = image; }
    bool isHighlighted() const { return m_highlighted; }
    virtual void setHighlighted(bool highlighted) { m_highlighted = highlighted; }
    bool isEditable() const { return m_editable; }
    void setEditable(bool editable) { m_editable = editable; }
    bool isEnabled() const { return m_enabled; }
    void setEnabled(bool enabled) { m_enabled = enabled; }

    // Cells that draw an editing state answer true; the view then tells them, item by item,
    // whether the item being drawn is the one edited in place.
    virtual bool showsEditingState() const { return false; }
    virtual void setIsEditing(bool) {}

    virtual QRectF imageRectForBounds(const QRectF& bounds) const;
    virtual QRectF titleRectForBounds(const QRectF& bounds) const;
    // Where an in-place editor for the title sits, and the font it edits in.
    virtual QRectF editingRectForBounds(const QRectF& bounds) const { return titleRectForBounds(bounds); }
    virtual QFont editingFont(const QRectF& bounds) const;

    virtual void drawWithFrame(QPainter& painter, const QRectF& frame, const DrawContext& context);

    std::shared_ptr<ZQObject> copy() const override;
    void encodeWithCoder(platform::KeyedArchiver& coder) const override;
    void initWithCoder(platform::KeyedUnarchiver& coder) override;

protected:
    // Copies the base fields into `other`; subclasses' copy() starts with it.
    void copyCellFieldsTo(JXDistributedViewCell& other) const;

private:
    QString m_stringValue;
    QImage m_image;
    bool m_highlighted = false;
    bool m_editable = false;
    bool m_enabled = true;
};

using JXDistributedViewCellPtr = std::shared_ptr<JXDistributedViewCell>;
