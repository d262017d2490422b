#pragma once

// An export slice: a named, coloured rectangle of the drawing marking a region to export as
// its own image, PDF or map document, to copy as a PDF, or to extract into a new document.
// Slices live in the drawing's slices layer (VLTMSlicesLayer), their only owner, which draws
// and edits them; a slice without a layer (pasted and not yet added, or removed) sends its
// requests nowhere and makes no output.
//
// Joining or leaving a layer replaces the slice's colour by the layer's selection colour
// (none when leaving). Bounds changes are not undoable here: the layer registers them.

#include "platform/foundation/QuorvaneError.h"
#include "platform/foundation/ZQObject.h"
#include "platform/graphics/ImageWriter.h"
#include "platform/vantrix/model/VXDrawing.h"

#include <QColor>
#include <QIcon>
#include <QPointer>
#include <QRectF>

class VLTMSlicesLayer;
class VXDrawingView;
class VXQSlice;
namespace platform {
class GraphicsContext;
class Menu;
class Pasteboard;
} // namespace platform

using VXQSlicePtr = std::shared_ptr<VXQSlice>;

// Posted by the slice with its layer as object and {"slice": the slice}.
inline const QString kVLTMSlicesLayerSliceBoundsWillChange = QStringLiteral("kVLTMSlicesLayerSliceBoundsWillChange");
inline const QString kVLTMSlicesLayerSliceBoundsDidChange = QStringLiteral("kVLTMSlicesLayerSliceBoundsDidChange");
// The private pasteboard type: a keyed archive whose root key "slice" holds the slice.
inline const QString kVXQSlicePasteboardType = QStringLiteral("com.veltrum.private.slice");

// What hitTest answers.
enum VXQSlicePart { kVXQSliceNoPart = 0, kVXQSliceBody = 1, kVXQSliceResizeHandle = 2 };

class VXQSlice : public ZQObject {
    Q_OBJECT
    Q_PROPERTY(QRectF bounds READ bounds WRITE setBounds)
    Q_PROPERTY(bool visible READ visible WRITE setVisible)
    Q_PROPERTY(bool showsTitle READ showsTitle WRITE setShowsTitle)
    Q_PROPERTY(bool showsDimensions READ showsDimensions WRITE setShowsDimensions)
    Q_PROPERTY(QColor colour READ colour WRITE setColour)
    Q_PROPERTY(QString title READ title WRITE setTitle)
    Q_PROPERTY(QString identifier READ identifier WRITE setIdentifier STORED false)
    Q_PROPERTY(double xLocation READ xLocation WRITE setXLocation STORED false)
    Q_PROPERTY(double yLocation READ yLocation WRITE setYLocation STORED false)
    Q_PROPERTY(double width READ width WRITE setWidth STORED false)
    Q_PROPERTY(double height READ height WRITE setHeight STORED false)
    Q_PROPERTY(bool locked READ locked WRITE setLocked STORED false)
    Q_PROPERTY(qint64 index READ index STORED false)
    Q_PROPERTY(QString name READ name STORED false)
    Q_PROPERTY(QString size READ size STORED false)
    Q_PROPERTY(QIcon icon READ icon STORED false)

public:
    VXQSlice();

    // --- Geometry --------------------------------------------------------------------------
    QRectF bounds() const { return m_bounds; }
    // Redraws the old and new extents and posts the bounds notifications around the change.
    void setBounds(const QRectF& bounds);
    double xLocation() const { return m_bounds.x(); }
    void setXLocation(double x);
    double yLocation() const { return m_bounds.y(); }
    void setYLocation(double y);
    double width() const { return m_bounds.width(); }
    void setWidth(double width);
    double height() const { return m_bounds.height(); }
    void setHeight(double height);
    // The bounds grown by 16 points on every side: what drawing the slice may touch.
    QRectF extent() const;
    // The 4 × 4 point handle inside the bounds' maximum corner.
    QRectF resizeRect() const;
    // Where the title tab was last drawn.
    QRectF titleRect() const { return m_titleRect; }

    // --- Appearance and naming -------------------------------------------------------------
    bool visible() const { return m_visible; }
    void setVisible(bool visible);
    bool showsTitle() const { return m_showsTitle; }
    void setShowsTitle(bool flag);
    bool showsDimensions() const { return m_showsDimensions; }
    void setShowsDimensions(bool flag);
    QColor colour() const { return m_colour; }
    void setColour(const QColor& colour);
    QString title() const { return m_title; }
    void setTitle(const QString& title);
    QString identifier() const { return m_identifier; }
    void setIdentifier(const QString& identifier) { m_identifier = identifier; }
    // Slices are never locked; the setter does nothing.
    bool locked() const { return false; }
    void setLocked(bool) {}
    // Position in the layer's list; -1 without a layer.
    qint64 index() const;
    // "<title> <index + 1>": "Slice 1" for the first slice titled "Slice".
    QString name() const;
    // "100 x 50 px": the bounds' size in points.
    QString size() const;
    QIcon icon() const;
    static QString displayName();
    static constexpr double lineWidth() { return 1.0; }

    // --- Layer -------------------------------------------------------------------------------
    VLTMSlicesLayer* slicesLayer() const { return m_slicesLayer; }
    // Takes the layer's selection colour (black for a slices layer; invalid without a layer).
    void setSlicesLayer(VLTMSlicesLayer* layer);
    VXDrawing* drawing() const;
    VXDrawingView* currentView() const;
    void setNeedsDisplay() const;
    void removeFromLayer();
    QString dimensionStringForLength(double length) const;

    // --- Drawing and hit testing -------------------------------------------------------------
    // Draws the dashed outline (on pixel centres), the handle and dimensions when selected,
    // and the title tab, into the context's painter.
    void drawInContextSelected(platform::GraphicsContext& context, bool selected);
    // A VXQSlicePart: the handle, the body (1 point around it counts) or the title tab.
    int hitTest(QPointF point) const;
    // The corners, edge middles of the bounds moved by `offset`, in a fixed order.
    QList<QPointF> snappingPointsWithOffset(QPointF offset) const;

    // --- Output ------------------------------------------------------------------------------
    // A PDF of the drawing inside the bounds; empty without a layer.
    QByteArray pdfData() const;
    // The bitmap of the bounds at `dpi` and `scale` (0 or less counts as 1), over the paper's
    // colour when asked; empty without a layer, and with `error` set when no bitmap of that
    // size can be made.
    QByteArray imageDataInFormatOptionsDpiScaleColorspaceDrawPaperBackground(
        platform::ImageFileType format, const platform::ImageWriteOptions& options, double dpi, double scale,
        const QString& colourSpace, bool drawPaperBackground, QuorvaneError* error = nullptr) const;
    // A new drawing of what lies inside the bounds; null without a layer.
    VXDrawingPtr extractDrawing() const;

    // --- Menu, pasteboard and actions --------------------------------------------------------
    std::unique_ptr<platform::Menu> menuForEventInView(QPointF point, VXDrawingView* view);
    // Declares and writes the PDF and the private type.
    void writeToPasteboard(platform::Pasteboard& pasteboard) const;
    // The slices a pasteboard holds (the private type only); none for damaged or foreign data.
    static QList<VXQSlicePtr> readSlicesFromPasteboard(const platform::Pasteboard& pasteboard);
    static bool canInitWithPasteboard(const platform::Pasteboard& pasteboard);
    // The archive of the private type, and the slice it holds (null when damaged).
    QByteArray pasteboardArchive() const;
    static VXQSlicePtr sliceFromPasteboardArchive(const QByteArray& archive);

    using ZQObject::copy;
    Q_INVOKABLE void copy(QObject* sender);
    Q_INVOKABLE void delete_(QObject* sender = nullptr);
    Q_INVOKABLE void zoomToSlice(QObject* sender = nullptr);

    QStringList keyPathsForValuesAffectingValueForKey(const QString& key) const override;
    void encodeWithCoder(platform::KeyedArchiver& coder) const override;
    void initWithCoder(platform::KeyedUnarchiver& coder) override;

private:
    friend class VLTMSlicesLayer; // attaches decoded and restored slices keeping their colour

    void drawTitleInContextSelected(QPainter& painter, bool selected);
    void drawDimensionsInContext(QPainter& painter) const;
    void postBoundsNotification(const QString& name);

    QRectF m_bounds;
    bool m_visible = true;
    bool m_showsTitle = true;
    bool m_showsDimensions = true;
    QColor m_colour{Qt::black};
    QString m_title;
    QString m_identifier;
    QPointer<VLTMSlicesLayer> m_slicesLayer;
    QRectF m_titleRect;
};
