#pragma once

// A drawing: the root layer group, with its paper (size, margins, colour), its units of
// measure, the active layer, snapping to the grid and guides, and output as PDF, images
// and printouts. Its owner (the document) lends the undo manager.
//
// Views do not poll: every change that needs redrawing ends in setNeedsDisplayInRect,
// which emits needsDisplayInRect with the area in drawing coordinates. A change to what views
// draw live over their kept rendering only (the selection's highlights) ends in
// setNeedsLiveDisplayInRect instead, which says so (`liveOnly`): views repaint the area without
// drawing the drawing again.

#include "platform/foundation/QuorvaneError.h"
#include "platform/foundation/ZQUndoManager.h"
#include "platform/graphics/ImageWriter.h"
#include "platform/measurement/ZQUnitLength.h"
#include "platform/vantrix/model/VXLayerGroup.h"

#include <QBrush>
#include <QColorSpace>
#include <QImage>
#include <QMarginsF>
#include <QPointer>
#include <QVariantMap>
#include <map>

class QIODevice;
class QPainter;
class QPrinter;
class VXDrawing;
class VXGridLayer;
class VXGuideLayer;
class ZQUndoManager;
namespace svgimport {
struct LeftOut;
}

using VXDrawingPtr = std::shared_ptr<VXDrawing>;

inline const QString kVXDrawingActiveLayerDidChange = QStringLiteral("kVXDrawingActiveLayerDidChange");
inline const QString kVXDrawingUnitsDidChangeNotification = QStringLiteral("kVXDrawingUnitsDidChangeNotification");
inline const QString kVXDrawingDidGetNewOwner = QStringLiteral("kVXDrawingDidGetNewOwner");

// Options of drawingByExtractingFromRectOptions.
enum VXDrawingExtractionOption {
    kVXDrawingExtractVisibleOnly = 1, // leave out hidden layers and objects
};

class VXDrawing : public VXLayerGroup {
    Q_OBJECT
    Q_PROPERTY(QSizeF drawingSize READ drawingSize WRITE setDrawingSize)
    Q_PROPERTY(QMarginsF margins READ margins WRITE setMargins)
    Q_PROPERTY(QRectF interior READ interior STORED false)
    Q_PROPERTY(QColor paperColour READ paperColour WRITE setPaperColour)
    Q_PROPERTY(bool paperColourIsPrinted READ paperColourIsPrinted WRITE setPaperColourIsPrinted)
    Q_PROPERTY(QImage paperImage READ paperImage WRITE setPaperImage)
    Q_PROPERTY(QString paperTextureName READ paperTextureName WRITE setPaperTextureName)
    Q_PROPERTY(QVariantMap drawingInfo READ drawingInfo WRITE setDrawingInfo)
    Q_PROPERTY(QString drawingUnits READ drawingUnits STORED false)
    Q_PROPERTY(QString abbreviatedDrawingUnits READ abbreviatedDrawingUnits STORED false)
    Q_PROPERTY(double unitToPointsConversionFactor READ unitToPointsConversionFactor STORED false)
    Q_PROPERTY(bool snapsToGrid READ snapsToGrid WRITE setSnapsToGrid)
    Q_PROPERTY(bool snapsToGuides READ snapsToGuides WRITE setSnapsToGuides)

public:
    VXDrawing();
    ~VXDrawing() override;

    // An empty drawing of that size in points.
    static VXDrawingPtr drawingWithSize(QSizeF size);
    // A grid, guides and one object layer (the active layer), in centimetres.
    static VXDrawingPtr defaultDrawingWithSize(QSizeF size);
    // A drawing of the SVG's size with one object layer holding its content; null with an
    // error 101 when the file cannot be read as SVG. `leftOut` receives the elements left out
    // and why.
    static VXDrawingPtr drawingWithContentsOfSVGFile(const QString& path, QuorvaneError* error = nullptr,
                                                     svgimport::LeftOut* leftOut = nullptr);

    // --- Owner ------------------------------------------------------------------------
    QObject* owner() const { return m_owner; }
    // Posts kVXDrawingDidGetNewOwner when the owner changes.
    void setOwner(QObject* owner);
    QObject* delegate() const { return m_delegate; }
    void setDelegate(QObject* delegate) { m_delegate = delegate; }
    ZQUndoManager* undoManager() const { return m_undoManager; }
    void setUndoManager(ZQUndoManager* undoManager);
    VXDrawing* drawing() const override { return const_cast<VXDrawing*>(this); }

    // --- Paper --------------------------------------------------------------------------
    QSizeF drawingSize() const { return m_drawingSize; }
    // Sizes that are not positive and finite are ignored.
    void setDrawingSize(QSizeF size);
    // Positive, finite and at most about 3.5 km a side.
    static bool isUsableDrawingSize(QSizeF size);
    QRectF bounds() const { return {QPointF(), m_drawingSize}; }
    // "595 x 842 px": the size with each side raised to a whole number.
    Q_INVOKABLE QString size() const;
    double leftMargin() const { return m_margins.left(); }
    double topMargin() const { return m_margins.top(); }
    double rightMargin() const { return m_margins.right(); }
    double bottomMargin() const { return m_margins.bottom(); }
    void setMarginsLeftTopRightBottom(double left, double top, double right, double bottom);
    QMarginsF margins() const { return m_margins; }
    // Negative or non-finite margins, or margins that leave no interior, are ignored.
    void setMargins(const QMarginsF& margins);
    // The drawing's rectangle inside the margins.
    QRectF interior() const;
    QColor paperColour() const { return m_paperColour; }
    void setPaperColour(const QColor& colour);
    bool paperColourIsPrinted() const { return m_paperColourIsPrinted; }
    void setPaperColourIsPrinted(bool printed);
    // A tile repeated over the paper from the drawing's origin instead of the colour; null
    // for plain paper. Larger images are scaled down to a tile of at most
    // kMaximumPaperTileSide pixels a side.
    QImage paperImage() const { return m_paperImage; }
    void setPaperImage(const QImage& image);
    static constexpr int kMaximumPaperTileSide = 512;
    // Reads an image as a paper tile, decoding a large one straight to tile size; null for
    // anything that is not an image.
    static QImage readPaperTile(QIODevice& device);
    // The name of the texture the paper shows, kept for whoever chose it; empty for none.
    QString paperTextureName() const { return m_paperTextureName; }
    void setPaperTextureName(const QString& name);
    // The paper colour, or the tile as a texture.
    QBrush paperBrush() const;
    // Fills the part of the paper meeting `rect` with its colour or tiles.
    void drawPaperInRect(QPainter& painter, const QRectF& rect) const;
    QVariantMap drawingInfo() const { return m_drawingInfo; }
    void setDrawingInfo(const QVariantMap& info);

    // --- Units --------------------------------------------------------------------------
    ZQUnitLengthPtr units() const { return m_units; }
    // The unit's own size in points becomes the conversion factor.
    void setUnits(const ZQUnitLengthPtr& units);
    // Units drawn at a scale: `factor` points on the drawing make one unit.
    void setUnitsUnitToPointsConversionFactor(const ZQUnitLengthPtr& units, double factor);
    QString drawingUnits() const;            // "centimetres"
    QString abbreviatedDrawingUnits() const; // "cm"
    double unitToPointsConversionFactor() const { return m_unitToPoints; }
    // Points to drawing units.
    double convertLength(double points) const;
    // A drawing point to drawing units measured from the interior's top left.
    QPointF convertPoint(QPointF point) const;
    double convertLengthToBase(double length) const;
    QPointF convertPointToBase(QPointF point) const;
    // "2.54 cm": the length in drawing units with two decimals and the abbreviation.
    QString formattedConvertedLength(double points) const;
    // The symbol of the unit with that full name ("centimetres" -> "cm"); the name itself when unknown.
    static QString abbreviationForDrawingUnits(const QString& fullName);
    // Units from names older documents used ("Centimetres", "Inches", "Pixels"...); null when unknown.
    static ZQUnitLengthPtr unitsForLegacyUnitName(const QString& name);

    // --- Grid and guides -------------------------------------------------------------------
    // The first master grid from the top, else the first grid of any kind.
    std::shared_ptr<VXGridLayer> gridLayer() const;
    std::shared_ptr<VXGuideLayer> guideLayer() const;
    // 1 when the grid is isometric, else 0 (also without a grid).
    int gridType() const;
    // Swaps the square grid for an isometric one or back, keeping its settings and place. An
    // isometric grid laid over another kind of grid (an index grid) is removed again instead.
    void setGridType(int type);
    bool snapsToGrid() const { return m_snapsToGrid; }
    void setSnapsToGrid(bool snaps);
    bool snapsToGuides() const { return m_snapsToGuides; }
    void setSnapsToGuides(bool snaps);
    // Snaps to the grid when snapping is on, or off with the control flag (it inverts).
    QPointF snapToGridWithControlFlag(QPointF point, bool controlFlag) const;
    QPointF snapToGuides(QPointF point) const;
    // The offset that brings the first of the points near a guide onto it; zero when none is.
    QPointF snapPointsToGuide(const QList<QPointF>& points) const;
    // Grid snapping applies only while the grid layer is visible.
    static bool snapToGridOnGridVisible();

    // --- Layers ---------------------------------------------------------------------------
    VXLayer* activeLayer() const { return m_activeLayer; }
    // Answers whether the layer became (or was) active: it must be in the drawing and may
    // become active. Posts kVXDrawingActiveLayerDidChange on a change.
    bool setActiveLayer(VXLayer* layer);
    VXLayer* activeLayerOfClass(const QMetaObject& layerClass) const;
    template <class T>
    T* activeLayerOfClass() const
    {
        return static_cast<T*>(activeLayerOfClass(T::staticMetaObject));
    }
    // The topmost layer of the class (or a subclass), at any depth, that may become active.
    VXLayer* firstActivateableLayerOfClass(const QMetaObject& layerClass) const;
    // `name` when no layer is called `name` or "name 1", else the first free of "name 2",
    // "name 3"...: a drawing with "Layer 1" gets "Layer 2" next.
    QString uniqueLayerNameForName(const QString& name) const;
    // "297.0 x 210.0 mm, 3 Layers": the size in drawing units and the top-level layers.
    QString auxiliaryInfoString() const override;
    QStringList keyPathsForValuesAffectingValueForKey(const QString& key) const override;
    // The first layer holding the export slices (VXLayer::isSlicesLayer), groups searched; null for none.
    VXLayer* slicesLayer() const;
    // Called by groups when a layer joins or leaves the drawing at any depth.
    void layerDidJoinDrawing(VXLayer* layer);
    void layerDidLeaveDrawing(VXLayer* layer);
    // Counts the changes of which layers draw and how: layers joining, leaving or moving, shown
    // or hidden, faded or not. A rendering in steps is taken up only within one generation.
    // Changed on the main thread while it holds the render gate; read by renderings inside it.
    quint64 layerStructureGeneration() const { return m_layerStructureGeneration; }
    void layerStructureDidChange() { ++m_layerStructureGeneration; }

    // --- Styles ---------------------------------------------------------------------------
    // Objects drawn with oldStyles[i] get newStyles[i] (lists of equal length).
    void replaceStylesWithStyles(const QList<VXStylePtr>& oldStyles, const QList<VXStylePtr>& newStyles);
    // This drawing's own copy of a style that tools give objects in every document, made on
    // first use and shared by the objects made here: editing it changes no other document.
    VXStylePtr ownCopyOfToolStyle(const VXStylePtr& toolStyle);

    // --- Display --------------------------------------------------------------------------
    void setNeedsDisplayInRect(const QRectF& rect) const;
    void setNeedsLiveDisplayInRect(const QRectF& rect) const;
    // While one is open on the drawing's thread, the areas asked for gather and go out as one
    // when the outermost closes: a gesture that moves thousands of objects asks its views once
    // per step, not four times per object.
    class DisplayBatch {
    public:
        explicit DisplayBatch(const VXDrawing* drawing);
        // Opens only for more than a few changes: a few go out apart, so two far-apart objects
        // do not redraw the land between them.
        DisplayBatch(const VXDrawing* drawing, qsizetype changes);
        ~DisplayBatch();
        DisplayBatch(const DisplayBatch&) = delete;
        DisplayBatch& operator=(const DisplayBatch&) = delete;

    private:
        const VXDrawing* m_drawing;
    };
    // The same for every drawing of the calling thread: a change to a style shared by thousands
    // of objects, in any number of documents, asks each drawing's views once.
    class ThreadDisplayBatch {
    public:
        ThreadDisplayBatch();
        ~ThreadDisplayBatch();
        ThreadDisplayBatch(const ThreadDisplayBatch&) = delete;
        ThreadDisplayBatch& operator=(const ThreadDisplayBatch&) = delete;
    };

    // --- Output ---------------------------------------------------------------------------
    // The whole drawing as a one-page PDF, paper colour included when it is printed.
    QByteArray pdf() const;
    QByteArray pdfDataWithMediaBox(const QRectF& mediaBox) const;
    // Encoded bitmap data: `sourceRect` scaled onto `destSize` pixels over `backgroundColour`
    // (none when invalid). Qt reads no PDF: the drawing renders the rectangle itself, as a PDF
    // of the whole drawing shows it.
    QByteArray imageDataWithFormatOptionsPdfDataColourspaceSourceRectDestSizeBackgroundColor(
        platform::ImageFileType format, const platform::ImageWriteOptions& options, const QByteArray& pdfData,
        const QColorSpace& colourspace, const QRectF& sourceRect, QSize destSize, const QColor& backgroundColour) const;
    // A drawing of the rectangle's size holding copies of the object layers' objects that
    // meet it, moved so the rectangle's corner is the origin.
    VXDrawingPtr drawingByExtractingFromRectOptions(const QRectF& rect, int options) const;
    // Fits the drawing to the printer's page and prints the layers that print.
    void printDrawingWithPrinter(QPrinter& printer) const;

    void encodeWithCoder(platform::KeyedArchiver& coder) const override;
    void initWithCoder(platform::KeyedUnarchiver& coder) override;

Q_SIGNALS:
    void needsDisplayInRect(const QRectF& rect, bool liveOnly) const;

private:
    void fixActiveLayer();
    void layersDidChangeSize();

    QPointer<QObject> m_owner;
    QPointer<QObject> m_delegate;
    QPointer<ZQUndoManager> m_undoManager;
    QSizeF m_drawingSize{595, 842};
    QMarginsF m_margins;
    QColor m_paperColour{Qt::white};
    bool m_paperColourIsPrinted = false;
    QImage m_paperImage;
    QString m_paperTextureName;
    QVariantMap m_drawingInfo;
    ZQUnitLengthPtr m_units;
    double m_unitToPoints;
    bool m_snapsToGrid = false;
    bool m_snapsToGuides = true;
    QPointer<VXLayer> m_activeLayer;
    // Tool style -> this drawing's copy; a tool style that dies never matches a new one.
    std::map<std::weak_ptr<VXStyle>, VXStylePtr, std::owner_less<>> m_toolStyleCopies;
    void sendBatchedDisplay() const;

    mutable int m_openDisplayBatches = 0;
    mutable QRectF m_batchedDisplay;
    // Whether a thread batch will send the gathered area.
    mutable bool m_heldByThreadBatch = false;
    quint64 m_layerStructureGeneration = 0;
};
