#pragma once

// The swatch of a style: shows the style's image, redrawn whenever the style reports a change,
// and starts the style's drag when pressed. A style dropped on it (from anywhere but the view
// itself) becomes its style, and the view then sends its action to its target.

#include "platform/vantrix/styles/VXStyle.h"
#include "style_editor/swatch/StyleDragging.h"

#include <QPointer>
#include <QWidget>

class QMimeData;

class VXQStyleImageView : public QWidget, public StyleDraggingSource {
    Q_OBJECT

public:
    explicit VXQStyleImageView(QWidget* parent = nullptr);
    ~VXQStyleImageView() override;

    VXStylePtr style() const { return m_style; }
    void setStyle(const VXStylePtr& style);
    // The style's image; null without a style.
    QImage image() const { return m_image; }
    void updateImage();

    QObject* target() const { return m_target; }
    void setTarget(QObject* target) { m_target = target; }
    QByteArray action() const { return m_action; }
    void setAction(const QByteArray& action) { m_action = action; }

    // Drops of the framework's style types, unless the drag comes from this view.
    bool canAcceptDropFromSource(const QMimeData* data, const QObject* source) const;
    // Takes the dropped style and sends the action; false when there is no usable style.
    bool performDropFromSource(const QMimeData* data, const QObject* source);

    Qt::DropActions draggingSourceOperationMaskForLocal(bool local) const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    VXStylePtr m_style;
    QImage m_image;
    QPointer<QObject> m_target;
    QByteArray m_action;
    quint64 m_styleObservation = 0;
};
