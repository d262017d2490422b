#pragma once

// The painter of square image buttons that stand for a tool or a stored style: a rounded
// bezel filled with a vertical gradient that follows the button's state, the image inset
// within it, a white wash when disabled and, for a button with a press-and-hold menu, a
// small triangle in its corner. Used by ZQStyleButton and by item delegates that draw
// library items the same way; it holds state, not widgets.

#include "platform/graphics/Gradient.h"
#include "widgets/paint/KitImage.h"

#include <QColor>
#include <QImage>
#include <QPointer>
#include <QRectF>
#include <QString>
#include <memory>

#include <QMenu>
class QPainter;
class QWidget;
class ZQStyleButtonCell;
namespace platform {
class Pasteboard;
}

// The on-state colour of a latched tool button, and an accent colour elsewhere (an orange).
QColor stickyButtonColour();

// Told just before a cell draws its bezel, so an owner (the tool palette) can set the
// on-state colour in time. Found as the control view's delegate (ZQStyleButton::delegate).
class ZQStyleButtonCellDelegate {
public:
    virtual ~ZQStyleButtonCellDelegate() = default;
    virtual void zqStyleButtonCellWillDrawBackgroundInFrame(ZQStyleButtonCell& cell, const QRectF& frame) = 0;
};

// A represented object that can put itself on a pasteboard (the cell's copy menu item).
class ZQPasteboardCopying {
public:
    virtual ~ZQPasteboardCopying() = default;
    virtual void copyToPasteboard(platform::Pasteboard& pasteboard) const = 0;
};

class ZQStyleButtonCell {
public:
    enum State { MixedState = -1, OffState = 0, OnState = 1 };
    static constexpr int kMenuDelayMilliseconds = 1000;

    // Made in code: white background. fromInterface: the grey of a cell laid out in a window.
    explicit ZQStyleButtonCell(bool fromInterface = false);
    ~ZQStyleButtonCell();

    // Made on first use and shared: grey 0.9 to grey 0.98.
    static const platform::Gradient& backgroundFillGradient();

    double cornerRadius() const { return m_cornerRadius; }
    void setCornerRadius(double radius) { m_cornerRadius = radius; }
    QColor backgroundColour() const { return m_backgroundColour; }
    void setBackgroundColour(const QColor& colour) { m_backgroundColour = colour; }
    QColor onStateColour() const { return m_onStateColour; }
    void setOnStateColour(const QColor& colour) { m_onStateColour = colour; }
    QColor mixedStateColour() const { return m_mixedStateColour; }
    void setMixedStateColour(const QColor& colour) { m_mixedStateColour = colour; }
    bool showsMenuAfterDelay() const { return m_showsMenuAfterDelay; }
    void setShowsMenuAfterDelay(bool shows) { m_showsMenuAfterDelay = shows; }

    int state() const { return m_state; }
    void setState(int state) { m_state = state; }
    bool isHighlighted() const { return m_highlighted; } // pressed
    void setHighlighted(bool highlighted) { m_highlighted = highlighted; }
    bool isEnabled() const { return m_enabled; }
    void setEnabled(bool enabled) { m_enabled = enabled; }
    bool isBordered() const { return m_bordered; }
    void setBordered(bool bordered) { m_bordered = bordered; }

    // Bundle artwork (templates get an engraved look) or a picture such as an item preview.
    void setImage(const KitImage& image);
    void setImage(const QImage& image);
    bool hasImage() const { return !m_artwork.isNull() || !m_picture.isNull(); }

    QObject* representedObject() const { return m_representedObject; }
    void setRepresentedObject(QObject* object) { m_representedObject = object; }

    // The menu given by the owner (not owned). Without one, a represented object with a
    // name gets a one-item menu "Copy '<name>'", owned by the cell.
    void setMenu(QMenu* menu) { m_menu = menu; }
    QMenu* menu();
    // Copies the represented object to the general pasteboard when it can copy itself.
    void copyAction();

    QColor colourForCurrentState() const;
    platform::Gradient gradientForCurrentState() const;
    QRectF imageRectForBounds(const QRectF& bounds) const { return bounds.adjusted(1, 1, -1, -1); }

    // The whole button: bezel, then image. `controlView` may be null (item delegates).
    void drawWithFrame(QPainter& painter, const QRectF& frame, QWidget* controlView);
    void drawBezelWithFrame(QPainter& painter, const QRectF& frame, QWidget* controlView);
    void drawImageWithFrame(QPainter& painter, const QRectF& frame, QWidget* controlView);

private:
    QString representedName() const;

    double m_cornerRadius = 6.0;
    QColor m_backgroundColour;
    QColor m_onStateColour;
    QColor m_mixedStateColour;
    bool m_showsMenuAfterDelay = false;
    int m_state = OffState;
    bool m_highlighted = false;
    bool m_enabled = true;
    bool m_bordered = true;
    KitImage m_artwork;
    QImage m_picture;
    QPointer<QObject> m_representedObject;
    QPointer<QMenu> m_menu;
    std::unique_ptr<QMenu> m_copyMenu;
    QString m_copyMenuName;
};
