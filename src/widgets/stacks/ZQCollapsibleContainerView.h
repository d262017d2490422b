#pragma once

// A panel that stacks other views vertically under an optional 22-point title bar. Containers
// nest: a hosted container is indented by its nesting level and drawn with a sawtooth strip at
// its left; it can collapse to its title bar (animated), be closed, show a help button, an
// auxiliary icon and, in title-bar style 2, a checkbox. Hosted containers can be reordered by
// dragging their title bars (ZQCollapsibleContainerView's drag side lives in
// CollapsibleContainerDrag.cpp). The stack's structure is saved as an XML property list.
//
// The container places its children itself (no layout). Frame sizes go through setFrameSize(),
// which tells the parent container so its stack follows; a container that is setting frames
// itself is not re-entered (the changing-frame flag).
//
// The delegate is any QObject; it is sent the invokable messages below only when it has them:
//   containerViewWillAddSubview(container, view)       containerViewDidAddSubview(container, view)
//   containerViewWillRemoveSubview(container, view)    containerViewDidRemoveSubview(container, view)
//   containerViewShowHelpPopoverInRect(container, QRectF)
//   containerViewDidCollapse(container)                containerViewDidUncollapse(container)
//   containerViewConfigurationDidChange(container)     (0.5 s after the last change, coalesced)
//   bool containerViewWillAcceptDroppedViewAtIndex(container, view, int)
//   containerViewDidMoveSubviewToIndex(container, view, int)
// Drop indexes count from the first movable view (after ignoredViewCount).

#include "widgets/views/SmallViews.h"

#include <QColor>
#include <QImage>
#include <QPointer>
#include <QToolButton>
#include <QWidget>
#include <optional>

#include "platform/graphics/Gradient.h"

class QCheckBox;
class QLabel;
class QScrollArea;
class QDragEnterEvent;
class QDragMoveEvent;
class QDragLeaveEvent;
class QDropEvent;
class EffectAnimation;
struct ContainerConfiguration;

class ZQCollapsibleContainerView : public QWidget {
    Q_OBJECT

public:
    static constexpr double kTitleBarHeight = 22.0;
    static constexpr int kNotFound = -1;
    // The drag pasteboard type; the dragged view itself travels through draggingView().
    static const QString kInternalDragType;

    explicit ZQCollapsibleContainerView(const QRectF& frame = QRectF(0, 0, 100, 100), QWidget* parent = nullptr);
    ~ZQCollapsibleContainerView() override;

    // The defaults of a container that comes from an interface file: no title bar, reordering on.
    void awakeFromInterface();

    // --- Class-wide -------------------------------------------------------------------------
    static QFont titleAttributesFont();
    static QColor titleAttributesColour();
    static QToolButton* closeButton();
    static QToolButton* collapsingButton();
    static QToolButton* helpButton();
    static QLabel* auxiliaryIconView();
    static QString closeButtonTooltip();
    static QString collapseButtonTooltip();
    static QColor titlebarHighightColour();
    static QColor indentationStripColour();
    static QString uniqueCVIdentifier();
    // The hosted container being dragged; cleared however the drag ends.
    static ZQCollapsibleContainerView* draggingView();
    static void setDraggingView(ZQCollapsibleContainerView* view);

    // --- Hosted views -----------------------------------------------------------------------
    void addViewToContent(QWidget* view);
    // The view leaves the content view; one that nobody has taken in by the end of the
    // current event is deleted.
    void removeViewFromContent(QWidget* view);
    void removeAllContentViews();
    QList<QWidget*> hostedViews() const;
    ZQFlippedView* contentView() const { return m_contentView; }
    void arrangeSubviews() { arrangeSubviewsWithAnimation(false); }
    void arrangeSubviewsWithAnimation(bool animate);
    // Depth first, in stacking order.
    ZQCollapsibleContainerView* subcontainerWithCVIdentifier(const QString& identifier) const;

    // --- Frame ------------------------------------------------------------------------------
    // Resizes and tells the parent container, unless this container is setting frames itself.
    void setFrameSize(const QSize& size);
    void setFrame(const QRect& frame);
    void containedViewFrameDidChange(QWidget* view);
    void notifyConfigurationChange();
    bool isChangingFrame() const { return m_changingFrame; }

    // --- Properties -------------------------------------------------------------------------
    ZQCollapsibleContainerView* parentContainerView() const { return m_parentContainerView; }
    void setParentContainerView(ZQCollapsibleContainerView* parent) { m_parentContainerView = parent; }
    // The stored `height`: the expanded height, restored on expanding. Named apart from
    // QWidget::height(), which is the current frame's.
    double expandedHeight() const { return m_height; }
    void setExpandedHeight(double height) { m_height = height; }
    double cornerRadius() const { return m_cornerRadius; }
    void setCornerRadius(double radius);
    double borderWidth() const { return m_borderWidth; }
    void setBorderWidth(double width);
    double contentInset() const { return m_contentInset; }
    void setContentInset(double inset);
    double indentationAmount() const { return m_indentationAmount; }
    void setIndentationAmount(double amount) { m_indentationAmount = amount; }
    unsigned indentationLevel() const { return m_indentationLevel; }
    void setIndentationLevel(unsigned level);
    QString title() const { return m_title; }
    void setTitle(const QString& title);
    QString cvident() const { return m_cvident; }
    void setCvident(const QString& identifier) { m_cvident = identifier; }
    QColor backgroundColour() const { return m_backgroundColour; }
    void setBackgroundColour(const QColor& colour);
    QColor titleBarColour() const { return m_titleBarColour; }
    void setTitleBarColour(const QColor& colour);
    std::optional<platform::Gradient> titleBarGradient() const { return m_titleBarGradient; }
    void setTitleBarGradient(const std::optional<platform::Gradient>& gradient);
    bool collapsed() const { return m_collapsed; }
    void setCollapsed(bool collapsed);
    void collapseAll();
    void expandAll();
    bool drawsShinyGradient() const { return m_drawsShinyGradient; }
    void setDrawsShinyGradient(bool draws);
    bool allowsReordering() const { return m_allowsReordering; }
    void setAllowsReordering(bool allows) { m_allowsReordering = allows; }
    bool allowsDragsFromOtherViews() const { return m_allowsDragsFromOtherViews; }
    void setAllowsDragsFromOtherViews(bool allows) { m_allowsDragsFromOtherViews = allows; }
    bool highlightForDrag() const { return m_highlightForDrag; }
    void setHighlightForDrag(bool highlight);
    int titleBarStyle() const { return m_titleBarStyle; }
    void setTitleBarStyle(int style);
    int ignoredViewCount() const { return m_ignoredViewCount; }
    void setIgnoredViewCount(int count) { m_ignoredViewCount = qMax(0, count); }
    QObject* delegate() const { return m_delegate; }
    void setDelegate(QObject* delegate) { m_delegate = delegate; }

    QToolButton* collapseButton() const { return m_collapseButton; }
    QToolButton* closingButton() const { return m_closingButton; }
    void setCloseButton(QToolButton* button);
    QToolButton* helpButtonView() const { return m_helpButton; }
    void setHelpButtonVisible(bool visible);
    void setHelpButtonIcon(const QImage& image);
    QLabel* auxiliaryImageView() const { return m_auxiliaryImageView; }
    void setAuxiliaryIcon(const QImage& image);
    QCheckBox* titleCheckbox() const { return m_titleCheckbox; }

    QRectF titleBarRect() const;
    double titleBarHeight() const;
    bool isLastInStack() const;

    // --- Saved state ------------------------------------------------------------------------
    QByteArray configurationData() const;
    // Answers false and leaves the container unchanged when the data is not a property list
    // whose root is a dictionary; bad elements inside are skipped.
    bool restoreFromConfigurationData(const QByteArray& data);

    // --- Drawing helpers --------------------------------------------------------------------
    static QPainterPath zigZagEdgeInRect(const QRectF& rect);
    void drawTitleBar(QPainter& painter, const QRectF& rect) const;

    // --- Actions ----------------------------------------------------------------------------
    Q_INVOKABLE void collapseAction(QObject* sender);
    Q_INVOKABLE void closeAction(QObject* sender);
    Q_INVOKABLE void helpButtonInternalAction(QObject* sender);
    void doubleClickInTitleBar();
    // Option held, as collapseAction reads it; tests and the disclosure button set it.
    void collapseActionWithModifiers(Qt::KeyboardModifiers modifiers);

    // --- Drag reordering --------------------------------------------------------------------
    void dragViewTitleBar();
    void dragContainerSubview(ZQCollapsibleContainerView* view);
    // Whether a drag whose view came from `source` may drop here.
    bool canAcceptDragFrom(const ZQCollapsibleContainerView* source) const;
    int arrangeSubviewsForDraggingLocation(const QPointF& location, double space, bool isForeignView);
    // Moves this view's origin towards `rect` over 0.2 s; a move under way is redirected.
    void setAnimatedFrame(const QRect& rect);
    Q_INVOKABLE void oneShotHasReached(double fraction);
    Q_INVOKABLE void oneShotComplete();
    int insertionIndex() const { return m_insertionIndex; }
    // The dragging destination, on the class-wide dragging view.
    bool draggingEntered();
    bool draggingUpdated(const QPointF& location);
    void draggingExited();
    bool prepareForDragOperation();
    bool performDragOperation();
    void draggingSessionEnded(Qt::DropAction operation);

    QString description() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dragLeaveEvent(QDragLeaveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    friend class EffectAnimation;

    bool isContainer(const QWidget* view) const;
    QPainterPath backgroundShape(const QRectF& rect) const;
    void placeTitleBarElements();
    void placeCloseButton();
    void updateContentViewFrame();
    void followContentWidth();
    void animateFrameHeight(double height);
    void frameAnimationStopped();
    bool sendToDelegate(const char* message, const QVariantList& arguments, QVariant* answer = nullptr) const;
    // The container the dragging view comes from; null when there is no dragging view.
    ZQCollapsibleContainerView* dragSource() const;
    bool isAcceptableDrag() const;
    QScrollArea* enclosingScrollArea() const;
    QRect visibleRectInScrollArea() const;
    void scrollRectToVisible(const QRect& rect);
    void restore(const ContainerConfiguration& configuration);
    QVariantMap configurationDictionary() const;

    QPointer<ZQCollapsibleContainerView> m_parentContainerView;
    double m_height = 0;
    double m_cornerRadius = 0;
    double m_borderWidth = 0;
    double m_contentInset = 0;
    double m_contentSeparator = 0;
    double m_indentationAmount = 6.0;
    unsigned m_indentationLevel = 0;
    QString m_title;
    QString m_cvident;
    QColor m_backgroundColour;
    QColor m_titleBarColour;
    std::optional<platform::Gradient> m_titleBarGradient;
    bool m_collapsed = false;
    bool m_drawsShinyGradient = false;
    bool m_allowsReordering = false;
    bool m_highlightForDrag = false;
    QToolButton* m_collapseButton = nullptr;
    QPointer<QToolButton> m_closingButton;
    QCheckBox* m_titleCheckbox = nullptr;
    ZQFlippedView* m_contentView = nullptr;
    QList<QPointer<QWidget>> m_hostedViews;
    QPointer<QObject> m_delegate;
    int m_insertionIndex = kNotFound;
    bool m_changingFrame = false;
    QRect m_sourceFrame;
    QRect m_destinationFrame;
    QToolButton* m_helpButton = nullptr;
    QLabel* m_auxiliaryImageView = nullptr;
    bool m_allowsDragsFromOtherViews = false;
    int m_titleBarStyle = 0;
    int m_ignoredViewCount = 0;
    QPointer<EffectAnimation> m_frameAnimation;
};
