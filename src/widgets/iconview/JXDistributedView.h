#pragma once

// A scrollable view of N items laid out freely, like icons on a desktop. The view owns no item
// data: it asks its data source for the count and for each item's position (the top-left corner
// of its box, whose size is the cell size) and draws every item through one shared prototype
// cell that the data source fills in just before each use. Coordinates are those of the
// document the viewport scrolls over; y grows downwards.
//
// Selection goes through one central change that the delegate may filter; every change posts
// "JXDistributedViewSelectionDidChange". The mouse selects, rubber-bands, moves items (with
// grid snapping) or starts a drag; the keyboard moves the selection, tabs, pages and
// type-selects; a double click on an editable title edits it in place.

#include "widgets/iconview/JXDistributedViewCell.h"
#include "widgets/iconview/JXDistributedViewProtocols.h"

#include "platform/foundation/RunLoop.h"

#include <QAbstractScrollArea>
#include <QColor>
#include <QPointer>
#include <QRegion>
#include <QSizeF>
#include <memory>
#include <optional>
#include <vector>

class QDrag;
class QLineEdit;

namespace platform {
class KeyedArchiver;
class KeyedUnarchiver;
class MenuItem;
}

inline const QString JXDistributedViewSelectionDidChange = QStringLiteral("JXDistributedViewSelectionDidChange");
inline const QString JXDistributedViewPositionsPboardType = QStringLiteral("JXDistributedViewPositionsPboardType");

// The archived flag word; bit 0 is the least significant.
struct JXDVPersistentFlags {
    enum Bit : quint32 {
        disableDragging = 1u << 20,
        drawsBackground = 1u << 21,
        drawsGrid = 1u << 22,
        showSnapGuides = 1u << 23,
        sizeToFit = 1u << 24,
        useSelectionRect = 1u << 25,
        allowsEmptySelection = 1u << 26,
        allowsMultipleSelection = 1u << 27,
        dragLocally = 1u << 28,
        dragMovesItems = 1u << 29,
        snapToGrid = 1u << 30,
        forceToGrid = 1u << 31,
    };
    // A view made in code: snap guides, size to fit, rubber band, empty and multiple selection.
    static constexpr quint32 kDefault = 0x0F800000;
};

class JXDistributedView : public QAbstractScrollArea {
    Q_OBJECT

public:
    // The answer of the hit tests when nothing is hit.
    static constexpr qint64 NSNotFound = std::numeric_limits<qint64>::max();
    static constexpr QSizeF kDefaultCellSize{100.0, 100.0};
    static constexpr QSizeF kDefaultGridSize{50.0, 50.0};
    static constexpr float kDefaultContentInset = 8.0f;

    explicit JXDistributedView(QWidget* parent = nullptr);
    ~JXDistributedView() override;

    // --- Data source, delegate, prototype ----------------------------------------------------
    JXDistributedViewDataSource* dataSource() const { return m_dataSource; }
    void setDataSource(JXDistributedViewDataSource* dataSource);
    JXDistributedViewDelegate* delegate() const { return m_delegate; }
    void setDelegate(JXDistributedViewDelegate* delegate) { m_delegate = delegate; }
    JXDistributedViewCell* prototype() const { return m_prototype.get(); }
    void setPrototype(JXDistributedViewCellPtr prototype);
    // The data source fills the prototype for `index` (positionForCell with the prototype).
    void fillPrototypeForItem(qint64 index);
    qint64 numberOfItems() const;

    // --- Geometry settings -------------------------------------------------------------------
    QSizeF cellSize() const { return m_cellSize; }
    // Ends an edit in progress; the grid becomes half the cell size.
    void setCellSize(QSizeF size);
    QSizeF gridSize() const { return m_gridSize; }
    void setGridSize(QSizeF size);
    float contentInset() const { return m_contentInset; }
    void setContentInset(float inset);
    QSizeF cellInset() const { return m_cellInset; }
    void setCellInset(QSizeF inset);
    QColor gridColor() const { return m_gridColor; }
    void setGridColor(const QColor& colour);
    static QColor defaultGridColor();

    // --- Flags -------------------------------------------------------------------------------
    quint32 flags() const { return m_flags; }
    bool flag(JXDVPersistentFlags::Bit bit) const { return (m_flags & bit) != 0; }
    bool dragsDisabled() const { return flag(JXDVPersistentFlags::disableDragging); }
    void setDragsDisabled(bool disabled) { setFlag(JXDVPersistentFlags::disableDragging, disabled); }
    bool drawsBackground() const { return flag(JXDVPersistentFlags::drawsBackground); }
    void setDrawsBackground(bool on) { setFlagAndRedraw(JXDVPersistentFlags::drawsBackground, on); }
    bool drawsGrid() const { return flag(JXDVPersistentFlags::drawsGrid); }
    void setDrawsGrid(bool on) { setFlagAndRedraw(JXDVPersistentFlags::drawsGrid, on); }
    bool showsSnapGuides() const { return flag(JXDVPersistentFlags::showSnapGuides); }
    void setShowsSnapGuides(bool on) { setFlag(JXDVPersistentFlags::showSnapGuides, on); }
    bool sizeToFit() const { return flag(JXDVPersistentFlags::sizeToFit); }
    void setSizeToFit(bool on);
    // Rubber-band selection is fully on only together with empty and multiple selection.
    bool useSelectionRect() const;
    void setUseSelectionRect(bool on);
    bool allowsEmptySelection() const { return flag(JXDVPersistentFlags::allowsEmptySelection); }
    void setAllowsEmptySelection(bool on);
    bool allowsMultipleSelection() const { return flag(JXDVPersistentFlags::allowsMultipleSelection); }
    void setAllowsMultipleSelection(bool on);
    bool dragsLocally() const { return flag(JXDVPersistentFlags::dragLocally); }
    void setDragsLocally(bool on) { setFlag(JXDVPersistentFlags::dragLocally, on); }
    bool dragMovesItems() const { return flag(JXDVPersistentFlags::dragMovesItems); }
    void setDragMovesItems(bool on) { setFlag(JXDVPersistentFlags::dragMovesItems, on); }
    bool snapToGrid() const { return flag(JXDVPersistentFlags::snapToGrid); }
    void setSnapToGrid(bool on) { setFlag(JXDVPersistentFlags::snapToGrid, on); }
    bool forceToGrid() const { return flag(JXDVPersistentFlags::forceToGrid); }
    void setForceToGrid(bool on);

    bool multiPositioningMode() const { return m_multiPositioningMode; }
    void setMultiPositioningMode(bool on);
    bool drawsDropHilite() const { return m_drawDropHilite; }
    bool drawsSnappedRects() const { return m_drawSnappedRects; }

    // Seconds (0 to 2) a press must last before it may start a drag.
    double dragDelay() const { return m_dragDelay; }
    void setDragDelay(double seconds);
    bool canBecomeKeyView() const { return m_canBecomeKey; }
    void setCanBecomeKeyView(bool on);

    // --- Archive (the view's own keys, "JXDV...") --------------------------------------------
    void encodeWithCoder(platform::KeyedArchiver& coder) const;
    // Damaged values fall back to the defaults; the decoded view does not take focus.
    void initWithCoder(platform::KeyedUnarchiver& coder);

    // --- Geometry ----------------------------------------------------------------------------
    // The item's box; the index must be valid. Positions are made finite and kept in range.
    QRectF rectForItemAtIndex(qint64 index) const;
    // Where flow layout puts `index`.
    QPointF itemPositionBasedOnItemIndex(qint64 index) const;
    QRectF forceRectToGrid(const QRectF& rect) const;
    // forceRectToGrid() when the grid is forced, else the rectangle itself.
    QRectF snapRectToGrid(const QRectF& rect) const;
    QRectF snappedRectForItemAtIndex(qint64 index) const { return snapRectToGrid(rectForItemAtIndex(index)); }
    QRectF rectEnclosingItemsAtIndexes(const JXIndexSet& indexes) const;
    // The items from `location`, `length` of them; indexes beyond the items are left out.
    QRectF rectEnclosingItemsInRange(qint64 location, qint64 length) const;
    QRectF rectAroundItems(const std::vector<qint64>& indexes) const;
    // Boxes are y-down already, as the screen is: every box passes through here unchanged.
    QRectF flipRectsYAxis(const QRectF& rect) const { return rect; }
    qint64 getItemIndexAtPoint(QPointF point) const;
    // Where a point of the viewport lies in the items' space (scrolled).
    QPointF documentPoint(QPointF viewportPoint) const;
    qint64 getItemIndexInRect(const QRectF& rect);
    qint64 getUncachedItemIndexInRect(const QRectF& rect) const;
    qint64 getItemIndexForSuggestionInRect(const QRectF& rect) const;
    bool itemIsVisible(qint64 index) const;
    bool itemIsVisibleAtPosition(QPointF position) const;
    QRectF bestRect() const;
    QSizeF bestSize() const;
    QRectF computeFrame() const;
    // The window size that shows the best size with the window's own chrome.
    QSize windowFrameSizeForBestSize() const;
    // That size at the window's present top-left corner.
    QRect windowFrameForBestSize() const;
    // The free slot found for a new item, not stored.
    QPointF suggestedPosition();
    // Stores the first free slot as the item's position; the index must be valid.
    void positionItem(qint64 index);

    // The document the viewport scrolls over, and its visible part.
    QRectF frame() const { return QRectF(QPointF(0, 0), m_frameSize); }
    void setFrameSize(QSizeF size);
    QRectF visibleRect() const;

    // --- Layout commands ---------------------------------------------------------------------
    Q_INVOKABLE void positionAllItems(QObject* sender = nullptr);
    Q_INVOKABLE void snapAllItemsToGrid(QObject* sender = nullptr);
    Q_INVOKABLE void rescrollItems(QObject* sender = nullptr);
    Q_INVOKABLE void toggleDrawsGrid(QObject* sender = nullptr) { setDrawsGrid(!drawsGrid()); }
    Q_INVOKABLE void toggleSnapToGrid(QObject* sender = nullptr) { setSnapToGrid(!snapToGrid()); }

    // --- Redisplay and cache -----------------------------------------------------------------
    void itemNeedsDisplay(qint64 index);
    void itemsNeedDisplayAtIndexes(const JXIndexSet& indexes);
    void selectionSetNeedsDisplay();
    void setNeedsDisplayInRect(const QRectF& rect);
    void setNeedsDisplayInRegion(const QRegion& region);
    void setNeedsDisplay();
    void reloadData();
    void noteNumberOfItemsChanged();
    void contentSizeChanged();
    void invalidateVisibleItemsCache();
    void extendCacheByVisibleItemIndexesInRectStartingAtIndex(const QRectF& rect, qint64 start);
    const std::vector<qint64>& visibleItems() const { return m_visibleItems; }
    QRectF visibleItemRect() const { return m_visibleItemRect; }

    // --- Scrolling ---------------------------------------------------------------------------
    void scrollToPoint(QPointF point);
    void scrollByXY(float dx, float dy);
    void scrollItemToVisible(qint64 index);
    Q_INVOKABLE void pageUp(QObject* sender = nullptr);
    Q_INVOKABLE void pageDown(QObject* sender = nullptr);

    // --- Drawing -----------------------------------------------------------------------------
    // Draws the part `rect` of the document; `toScreen` false when printing or imaging, which
    // leaves out highlights, snap guides and the rubber band's colours stay as they are. Cells
    // outside `exposed`, when it is given, are left out.
    void drawRect(QPainter& painter, const QRectF& rect, bool toScreen, const QRegion& exposed = {});

    // --- Selection ---------------------------------------------------------------------------
    qint64 selectedItemIndex() const;
    const JXIndexSet& selectedItemIndexes() const { return m_selection; }
    qint64 selectedItemCount() const { return qint64(m_selection.size()); }
    bool isItemSelected(qint64 index) const { return m_selection.count(index) != 0; }
    void selectItemsAtIndexesByExtendingSelection(const JXIndexSet& indexes, bool extend);
    // -1 selects nothing.
    void selectItemByExtendingSelection(qint64 index, bool extend);
    void selectItemsInRangeByExtendingSelection(qint64 first, qint64 count, bool extend);
    void deselectItem(qint64 index);
    void selectItemsInRectByExtendingSelection(const QRectF& rect, bool extend);
    Q_INVOKABLE void selectAll(QObject* sender = nullptr);
    Q_INVOKABLE void deselectAll(QObject* sender = nullptr);
    void selectItemContainingString(const QString& string);
    // Drops selected indexes at or above the item count, silently.
    void updateSelectionSet();
    Q_INVOKABLE void copy(QObject* sender = nullptr);
    Q_INVOKABLE bool validateMenuItem(platform::MenuItem* item);

    // --- Mouse and keyboard state ------------------------------------------------------------
    qint64 mouseItem() const { return m_mouseItem; }
    QRectF selectionRect() const { return m_selectionRect; }
    qint64 editedItem() const { return m_editedItem; }
    QString typeAheadSearchString() const { return m_typeAheadSearchStr; }
    Q_INVOKABLE void moveLeft(QObject* sender = nullptr) { moveSelection(-1, 0); }
    Q_INVOKABLE void moveRight(QObject* sender = nullptr) { moveSelection(1, 0); }
    Q_INVOKABLE void moveUp(QObject* sender = nullptr) { moveSelection(0, -1); }
    Q_INVOKABLE void moveDown(QObject* sender = nullptr) { moveSelection(0, 1); }
    Q_INVOKABLE void insertTab(QObject* sender = nullptr);
    Q_INVOKABLE void insertBacktab(QObject* sender = nullptr);
    void insertText(const QString& text);
    // A hook at the end of a press for subclasses.
    virtual void initiateMove() {}

    // --- Inline editing ----------------------------------------------------------------------
    // The index must be valid.
    void editItemIndexWithEventSelect(qint64 index, bool select = true);
    // Ends an edit in progress, handing its text to the data source.
    void textDidEndEditing();
    QLineEdit* fieldEditor() const { return m_fieldEditor; }

    // --- Moving and dragging -----------------------------------------------------------------
    // Moves the items by (dx, -dy): the offset's y counts upwards.
    void moveItemsByOffset(const std::vector<qint64>& indexes, QSizeF offset);
    qint64 dragDestItem() const { return m_dragDestItem; }
    QPointF dragStartImagePos() const { return m_dragStartImagePos; }
    // The drag image of the given items near the visible area, at the device pixel ratio, and
    // where its top-left corner sits in the document; a null image when none is near.
    QImage dragImageForVisibleItemsAtIndexes(const JXIndexSet& indexes, QPointF* imageOrigin) const;
    // A plainer image of the items (for callers; the view's own drags use the one above): each
    // unhighlighted cell at half opacity, placed at `imageOrigin`. An image too large to make
    // is logged as an error and answered null, as is an empty list.
    QImage dragImageForItemsDragImageOffset(const std::vector<qint64>& indexes, QPointF* imageOrigin) const;
    // Writes the positions of the items relative to dragStartImagePos.
    void addPositionsOfItemsToPasteboard(const std::vector<qint64>& indexes, platform::Pasteboard& pasteboard);
    // The positions on the pasteboard placed at `imagePosition` (document coordinates),
    // snapped when the view snaps; entries that are not 16-byte points are skipped.
    QList<QPointF> positionsOfItemsOnPasteboardForImagePosition(const platform::Pasteboard& pasteboard,
                                                                QPointF imagePosition) const;
    // Starts a drag of the selection at `point` (document coordinates) at time `timestamp`
    // (run-loop milliseconds). Answers whether a drag was started.
    bool initiateDrag(QPointF point, qint64 timestamp);

protected:
    // Runs the drag (QDrag::exec); the view's own tests replace it, as a real drag blocks.
    virtual Qt::DropAction execDrag(QDrag& drag, Qt::DropActions actions);

    bool viewportEvent(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    bool event(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dragLeaveEvent(QDragLeaveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

    // Drawing steps, in order.
    virtual void drawBackgroundInRect(QPainter& painter, const QRectF& rect);
    void drawGridForDrawRect(QPainter& painter, const QRectF& rect);
    void drawCellsForDrawRect(QPainter& painter, const QRectF& rect, bool toScreen, const QRegion& exposed);
    void drawSelectionRectForDrawRect(QPainter& painter);
    void drawSnapGuideInRect(QPainter& painter, const QRectF& rect);

private:
    void setFlag(JXDVPersistentFlags::Bit bit, bool on);
    void setFlagAndRedraw(JXDVPersistentFlags::Bit bit, bool on);
    void updateScrollBars();
    // Redraws what changes when the rubber band goes from `from` to `to`: its edges, not the
    // cells it covers in both.
    void selectionRectChanged(const QRectF& from, const QRectF& to);
    QPointF rawPosition(qint64 index) const;
    bool hitsCell(qint64 index, const QRectF& snappedBox, const QRectF& rect) const;
    void ensureVisibleItemsCache();
    void tellDelegateSelectionChanged(qint64 fallbackIndex);
    void postSelectionDidChange();
    void moveSelection(int dx, int dy);
    void handlePress(QPointF point, Qt::KeyboardModifiers modifiers, int clickCount, qint64 timestamp);
    void handleDrag(QPointF point, Qt::KeyboardModifiers modifiers, qint64 timestamp);
    void handleRelease(QPointF point, Qt::KeyboardModifiers modifiers);
    void autoscrollCallback();
    void cellClicked();
    void moveSelectedItemsBy(QPointF delta, bool commandHeld);
    void endLocalMove(QPointF delta, bool commandHeld);
    void updateDropDestination(QDropEvent* event, bool entering);
    bool commandHeld(Qt::KeyboardModifiers modifiers) const;
    bool shiftHeld(Qt::KeyboardModifiers modifiers) const;

    QPointer<QObject> m_dataSourceObject;
    JXDistributedViewDataSource* m_dataSource = nullptr;
    JXDistributedViewDelegate* m_delegate = nullptr;
    QSizeF m_cellSize = kDefaultCellSize;
    QSizeF m_gridSize = kDefaultGridSize;
    float m_contentInset = kDefaultContentInset;
    QSizeF m_cellInset{0.0, 0.0};
    JXDistributedViewCellPtr m_prototype;
    JXIndexSet m_selection;
    quint32 m_flags = JXDVPersistentFlags::kDefault;
    QColor m_gridColor;
    qint64 m_mouseItem = NSNotFound;
    QPointF m_lastPos;
    QRectF m_selectionRect;
    bool m_multiPositioningMode = false;
    bool m_drawDropHilite = false;
    bool m_drawSnappedRects = false;
    QPointF m_lastSuggestedItemPos;
    std::optional<std::vector<qint64>> m_itemsBelowLastSuggested;
    QRectF m_visibleItemRect;
    std::vector<qint64> m_visibleItems;
    qint64 m_dragDestItem = -1;
    QPointF m_dragStartImagePos;
    qint64 m_editedItem = -1;
    QString m_typeAheadSearchStr;
    qint64 m_lastTypeAheadKeypress = std::numeric_limits<qint64>::min() / 2;
    qint64 m_oldItemCount = 0;
    std::unique_ptr<platform::Timer> m_autoscrollTimer;
    bool m_mouseWasDragged = false;
    bool m_isTrackingMouse = false;
    bool m_dragStarted = false;
    qint64 m_mouseDownTime = 0;
    QPointF m_lastDragPoint;
    double m_dragDelay = 0.0;
    bool m_canBecomeKey = true;
    QSizeF m_frameSize{0.0, 0.0};
    QLineEdit* m_fieldEditor = nullptr;
};
