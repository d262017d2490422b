#include "widgets/stacks/ZQCollapsibleContainerView.h"

#include "platform/foundation/MetaInvoke.h"
#include "platform/foundation/PropertyList.h"
#include "platform/foundation/RunLoop.h"
#include "platform/ui/ZQOneShotEffectTimer.h"
#include "widgets/paint/ApplicationColours.h"
#include "widgets/paint/CGShinyGradient.h"
#include "widgets/paint/CenterScanRect.h"
#include "widgets/paint/KitImage.h"
#include "widgets/stacks/ContainerConfiguration.h"
#include "widgets/views/EffectAnimation.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QToolButton>
#include <QUuid>
#include <QtMath>
#include <utility>

namespace {

constexpr int kConfigurationNoticeDelay = 500;
constexpr int kCollapseAllLayoutDelay = 250;
constexpr double kCollapseDuration = EffectAnimation::kDefaultDuration;
const QByteArray kConfigurationNoticeKey = "containerViewConfigurationDidChange";
const QByteArray kDelayedLayoutKey = "arrangeSubviews";

QIcon iconFromImage(const QImage& image)
{
    return image.isNull() ? QIcon() : QIcon(QPixmap::fromImage(image));
}

QIcon iconNamed(const QString& name, const QSizeF& size)
{
    return iconFromImage(imageNamed(name).imageOfSize(size, qApp ? qApp->devicePixelRatio() : 1.0));
}

QToolButton* imageOnlyButton(const QString& image, const QSizeF& size, const QString& tooltip)
{
    auto* button = new QToolButton;
    button->setAutoRaise(true);
    button->setToolButtonStyle(Qt::ToolButtonIconOnly);
    button->setIcon(iconNamed(image, size));
    button->setIconSize(size.toSize());
    button->setToolTip(tooltip);
    button->setFocusPolicy(Qt::NoFocus);
    button->resize(size.toSize());
    return button;
}

// A removed view lives until the end of the current event; then it goes unless someone took it in.
void releaseWhenOrphaned(QWidget* view)
{
    view->hide();
    view->setParent(nullptr);
    platform::RunLoop::runOnMainThread(
        [view] {
            if (!view->parentWidget())
                delete view;
        },
        view);
}

} // namespace

const QString ZQCollapsibleContainerView::kInternalDragType = QStringLiteral("kZQCollapsibleContainerViewInternalDragType");

ZQCollapsibleContainerView::ZQCollapsibleContainerView(const QRectF& frame, QWidget* parent)
    : QWidget(parent)
    , m_height(frame.height())
    , m_cvident(uniqueCVIdentifier())
    , m_backgroundColour(VLTMWindowBackgroundColour())
    , m_titleBarColour(VLTMLightBackgroundColour())
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setGeometry(qFloor(frame.x()), qFloor(frame.y()), qFloor(frame.width()), qFloor(frame.height()));

    m_contentView = new ZQFlippedView(this);
    m_collapseButton = collapsingButton();
    m_collapseButton->setParent(this);
    m_collapseButton->setChecked(true);
    connect(m_collapseButton, &QToolButton::clicked, this,
            [this] { collapseActionWithModifiers(QGuiApplication::keyboardModifiers()); });
    m_helpButton = helpButton();
    m_helpButton->setParent(this);
    m_helpButton->hide();
    connect(m_helpButton, &QToolButton::clicked, this, [this] { helpButtonInternalAction(m_helpButton); });
    m_auxiliaryImageView = auxiliaryIconView();
    m_auxiliaryImageView->setParent(this);
    setTitleBarStyle(1);
    placeTitleBarElements();
}

ZQCollapsibleContainerView::~ZQCollapsibleContainerView()
{
    if (draggingView() == this)
        setDraggingView(nullptr);
}

void ZQCollapsibleContainerView::awakeFromInterface()
{
    setTitleBarStyle(0);
    const QRectF bar = titleBarRect();
    m_collapseButton->move(qRound(bar.x() + 5), qRound(bar.center().y() - m_collapseButton->height() / 2.0 - 1.5));
    if (m_titleCheckbox)
        m_titleCheckbox->move(qRound(bar.x() + 16), qRound(bar.center().y() - m_titleCheckbox->height() / 2.0));
    if (m_closingButton)
        m_closingButton->hide();
    m_collapseButton->setChecked(!m_collapsed);
    m_allowsReordering = true;
}

// --- Class-wide ------------------------------------------------------------------------------

QFont ZQCollapsibleContainerView::titleAttributesFont()
{
    return VLTMSmallTitleFont();
}

QColor ZQCollapsibleContainerView::titleAttributesColour()
{
    return QColor::fromRgbF(0.25f, 0.25f, 0.25f, 1.0f);
}

QToolButton* ZQCollapsibleContainerView::closeButton()
{
    return imageOnlyButton(QStringLiteral("NSRemoveTemplate"), QSizeF(15.4, 15.4), closeButtonTooltip());
}

QToolButton* ZQCollapsibleContainerView::collapsingButton()
{
    auto* button = new QToolButton;
    button->setCheckable(true);
    button->setAutoRaise(true);
    button->setFocusPolicy(Qt::NoFocus);
    button->setToolTip(collapseButtonTooltip());
    button->setArrowType(Qt::DownArrow);
    button->setIconSize(QSize(8, 8));
    button->resize(10, 10);
    QObject::connect(button, &QToolButton::toggled, button,
                     [button](bool on) { button->setArrowType(on ? Qt::DownArrow : Qt::RightArrow); });
    return button;
}

QToolButton* ZQCollapsibleContainerView::helpButton()
{
    return imageOnlyButton(QStringLiteral("NSInfo"), QSizeF(17.6, 17.6), tr("Help"));
}

QLabel* ZQCollapsibleContainerView::auxiliaryIconView()
{
    auto* view = new QLabel;
    view->setScaledContents(true);
    view->resize(18, 18);
    return view;
}

QString ZQCollapsibleContainerView::closeButtonTooltip()
{
    return tr("Delete Component");
}

QString ZQCollapsibleContainerView::collapseButtonTooltip()
{
    return tr("Collapse Component");
}

QColor ZQCollapsibleContainerView::titlebarHighightColour()
{
    return QApplication::palette().color(QPalette::Active, QPalette::Highlight);
}

QColor ZQCollapsibleContainerView::indentationStripColour()
{
    return titlebarHighightColour();
}

QString ZQCollapsibleContainerView::uniqueCVIdentifier()
{
    return QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper();
}

// --- Hosted views ----------------------------------------------------------------------------

bool ZQCollapsibleContainerView::isContainer(const QWidget* view) const
{
    return view && view->metaObject()->inherits(metaObject());
}

QList<QWidget*> ZQCollapsibleContainerView::hostedViews() const
{
    QList<QWidget*> views;
    for (const QPointer<QWidget>& view : m_hostedViews)
        if (view && view->parentWidget() == m_contentView)
            views.append(view);
    return views;
}

void ZQCollapsibleContainerView::addViewToContent(QWidget* view)
{
    if (!view || hostedViews().contains(view))
        return;
    m_hostedViews.removeAll(view);
    view->resize(m_contentView->width(), view->height());
    sendToDelegate("containerViewWillAddSubview", {QVariant::fromValue<QObject*>(this), QVariant::fromValue<QObject*>(view)});
    view->setParent(m_contentView);
    m_hostedViews.append(view);
    view->show();
    arrangeSubviews();
    update();
    if (isContainer(view)) {
        auto* container = static_cast<ZQCollapsibleContainerView*>(view);
        container->m_parentContainerView = this;
        container->setIndentationLevel(m_indentationLevel + 1);
        if (container->m_cvident.isEmpty())
            container->m_cvident = uniqueCVIdentifier();
        setAcceptDrops(true);
    }
    sendToDelegate("containerViewDidAddSubview", {QVariant::fromValue<QObject*>(this), QVariant::fromValue<QObject*>(view)});
}

void ZQCollapsibleContainerView::removeViewFromContent(QWidget* view)
{
    if (!view || !hostedViews().contains(view))
        return;
    sendToDelegate("containerViewWillRemoveSubview", {QVariant::fromValue<QObject*>(this), QVariant::fromValue<QObject*>(view)});
    if (isContainer(view)) {
        auto* container = static_cast<ZQCollapsibleContainerView*>(view);
        if (container->m_delegate == this)
            container->m_delegate = nullptr;
        container->m_parentContainerView = nullptr;
        if (container->m_titleCheckbox)
            container->m_titleCheckbox->disconnect();
    }
    m_hostedViews.removeAll(view);
    releaseWhenOrphaned(view);
    arrangeSubviews();
    update();
    sendToDelegate("containerViewDidRemoveSubview", {QVariant::fromValue<QObject*>(this), QVariant::fromValue<QObject*>(view)});
}

void ZQCollapsibleContainerView::removeAllContentViews()
{
    const QList<QWidget*> views = hostedViews();
    m_hostedViews.clear();
    for (QWidget* view : views)
        releaseWhenOrphaned(view);
    arrangeSubviews();
    update();
}

void ZQCollapsibleContainerView::arrangeSubviewsWithAnimation(bool animate)
{
    const double indent = m_indentationLevel * m_indentationAmount;
    const double available = width() - 2 * m_contentInset;
    double y = m_contentSeparator;
    for (QWidget* view : hostedViews()) {
        const bool container = isContainer(view);
        const double x = container ? indent : 0.0;
        const QRect frame(qRound(x), qFloor(y), qRound(available - x), view->height());
        if (animate && container) {
            static_cast<ZQCollapsibleContainerView*>(view)->setAnimatedFrame(frame);
        } else {
            const bool wasChanging = std::exchange(m_changingFrame, true);
            if (container)
                static_cast<ZQCollapsibleContainerView*>(view)->setFrame(frame);
            else
                view->setGeometry(frame);
            m_changingFrame = wasChanging;
        }
        y += qFloor(m_contentInset + view->height() + m_contentSeparator);
    }
    if (m_titleBarStyle != 0)
        y += kTitleBarHeight;
    y += m_contentInset;
    m_height = y;
    if (!m_collapsed)
        setFrameSize(QSize(width(), qFloor(y)));
}

ZQCollapsibleContainerView* ZQCollapsibleContainerView::subcontainerWithCVIdentifier(const QString& identifier) const
{
    for (QWidget* view : hostedViews()) {
        if (!isContainer(view))
            continue;
        auto* container = static_cast<ZQCollapsibleContainerView*>(view);
        if (container->m_cvident == identifier)
            return container;
        if (ZQCollapsibleContainerView* found = container->subcontainerWithCVIdentifier(identifier))
            return found;
    }
    return nullptr;
}

// --- Frame -----------------------------------------------------------------------------------

void ZQCollapsibleContainerView::setFrameSize(const QSize& size)
{
    if (m_changingFrame)
        return;
    m_changingFrame = true;
    resize(size);
    updateContentViewFrame();
    if (m_parentContainerView)
        m_parentContainerView->containedViewFrameDidChange(this);
    notifyConfigurationChange();
    m_changingFrame = false;
}

void ZQCollapsibleContainerView::setFrame(const QRect& frame)
{
    // A move under way ends where the frame is now set, not where it was headed.
    if (m_changingFrame)
        m_destinationFrame = frame;
    move(frame.topLeft());
    setFrameSize(frame.size());
}

void ZQCollapsibleContainerView::containedViewFrameDidChange(QWidget*)
{
    if (!m_changingFrame)
        arrangeSubviews();
}

void ZQCollapsibleContainerView::notifyConfigurationChange()
{
    if (!m_delegate || !platform::findMethod(m_delegate, kConfigurationNoticeKey, 1).isValid())
        return;
    platform::RunLoop::cancelPreviousPerformRequests(this, kConfigurationNoticeKey);
    platform::RunLoop::performAfterDelay(
        this, [this] { sendToDelegate(kConfigurationNoticeKey, {QVariant::fromValue<QObject*>(this)}); },
        kConfigurationNoticeDelay, kConfigurationNoticeKey);
}

void ZQCollapsibleContainerView::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    updateContentViewFrame();
    placeTitleBarElements();
}

void ZQCollapsibleContainerView::updateContentViewFrame()
{
    const double bar = titleBarHeight();
    const QRect frame(qRound(m_contentInset), qRound(bar + m_contentInset), qRound(width() - 2 * m_contentInset),
                      qMax(0, qRound(height() - bar - 2 * m_contentInset)));
    m_contentView->setGeometry(frame);
    followContentWidth();
}

void ZQCollapsibleContainerView::followContentWidth()
{
    const double indent = m_indentationLevel * m_indentationAmount;
    const int available = qRound(width() - 2 * m_contentInset);
    for (QWidget* view : hostedViews()) {
        const int x = isContainer(view) ? qRound(indent) : 0;
        if (view->width() == available - x)
            continue;
        if (isContainer(view)) {
            const bool wasChanging = std::exchange(m_changingFrame, true);
            static_cast<ZQCollapsibleContainerView*>(view)->setFrameSize(QSize(available - x, view->height()));
            m_changingFrame = wasChanging;
        } else {
            view->resize(available - x, view->height());
        }
    }
}

// --- Properties ------------------------------------------------------------------------------

void ZQCollapsibleContainerView::setCornerRadius(double radius)
{
    m_cornerRadius = radius;
    update();
}

void ZQCollapsibleContainerView::setBorderWidth(double width)
{
    m_borderWidth = width;
    update();
}

void ZQCollapsibleContainerView::setContentInset(double inset)
{
    m_contentInset = inset;
    updateContentViewFrame();
}

void ZQCollapsibleContainerView::setIndentationLevel(unsigned level)
{
    m_indentationLevel = level;
    placeTitleBarElements();
    arrangeSubviews();
}

void ZQCollapsibleContainerView::setTitle(const QString& title)
{
    m_title = title;
    update(titleBarRect().toAlignedRect());
}

void ZQCollapsibleContainerView::setBackgroundColour(const QColor& colour)
{
    m_backgroundColour = colour;
    update();
}

void ZQCollapsibleContainerView::setTitleBarColour(const QColor& colour)
{
    m_titleBarColour = colour;
    update(titleBarRect().toAlignedRect());
}

void ZQCollapsibleContainerView::setTitleBarGradient(const std::optional<platform::Gradient>& gradient)
{
    m_titleBarGradient = gradient;
    update(titleBarRect().toAlignedRect());
}

void ZQCollapsibleContainerView::setDrawsShinyGradient(bool draws)
{
    m_drawsShinyGradient = draws;
    update(titleBarRect().toAlignedRect());
}

void ZQCollapsibleContainerView::setHighlightForDrag(bool highlight)
{
    m_highlightForDrag = highlight;
    update(titleBarRect().toAlignedRect());
}

void ZQCollapsibleContainerView::setTitleBarStyle(int style)
{
    if (style == m_titleBarStyle)
        return;
    m_titleBarStyle = style;
    if (style == 2 && !m_titleCheckbox) {
        m_titleCheckbox = new QCheckBox(this);
        m_titleCheckbox->setAttribute(Qt::WA_MacSmallSize);
        m_titleCheckbox->setFocusPolicy(Qt::NoFocus);
    }
    m_collapseButton->setVisible(style != 0);
    m_auxiliaryImageView->setVisible(style != 0);
    if (m_titleCheckbox)
        m_titleCheckbox->setVisible(style == 2);
    if (style == 0)
        m_helpButton->hide();
    placeTitleBarElements();
    updateContentViewFrame();
}

void ZQCollapsibleContainerView::setCloseButton(QToolButton* button)
{
    if (m_closingButton && m_closingButton != button)
        delete m_closingButton;
    m_closingButton = button;
    if (!button)
        return;
    button->disconnect(this);
    button->setParent(this);
    connect(button, &QToolButton::clicked, this, [this, button] { closeAction(button); });
    button->show();
    placeCloseButton();
}

void ZQCollapsibleContainerView::setHelpButtonVisible(bool visible)
{
    m_helpButton->setVisible(visible);
}

void ZQCollapsibleContainerView::setHelpButtonIcon(const QImage& image)
{
    m_helpButton->setIcon(iconFromImage(image));
}

void ZQCollapsibleContainerView::setAuxiliaryIcon(const QImage& image)
{
    m_auxiliaryImageView->setPixmap(image.isNull() ? QPixmap() : QPixmap::fromImage(image));
}

void ZQCollapsibleContainerView::placeTitleBarElements()
{
    m_collapseButton->setGeometry(QRectF(5, 6.5, 10, 10).toRect());
    m_helpButton->setGeometry(QRectF(width() - 38.2, 1.5, 17.6, 17.6).toRect());
    m_auxiliaryImageView->setGeometry(QRectF(36, 2.5, 17.6, 17.6).toRect());
    if (m_titleCheckbox)
        m_titleCheckbox->setGeometry(QRectF(m_indentationLevel * m_indentationAmount + 16, 4, 24, 14).toRect());
    placeCloseButton();
}

void ZQCollapsibleContainerView::placeCloseButton()
{
    if (!m_closingButton)
        return;
    const QRectF bar = titleBarRect();
    const QSizeF size(15.4, 15.4);
    m_closingButton->setGeometry(
        QRectF(QPointF(bar.right() - size.width() - 3, bar.center().y() - size.height() / 2 + 0.5), size).toRect());
}

QRectF ZQCollapsibleContainerView::titleBarRect() const
{
    return QRectF(0, 0, width(), titleBarHeight());
}

double ZQCollapsibleContainerView::titleBarHeight() const
{
    return m_titleBarStyle == 0 ? 0.0 : kTitleBarHeight;
}

bool ZQCollapsibleContainerView::isLastInStack() const
{
    return m_parentContainerView && !m_parentContainerView->hostedViews().isEmpty()
           && m_parentContainerView->hostedViews().constLast() == this;
}

// --- Collapsing ------------------------------------------------------------------------------

void ZQCollapsibleContainerView::setCollapsed(bool collapsed)
{
    if (collapsed == m_collapsed)
        return;
    m_collapsed = collapsed;
    m_collapseButton->setChecked(!collapsed);
    if (collapsed) {
        m_height = height();
        m_contentView->hide();
        animateFrameHeight(titleBarHeight());
    } else {
        m_contentView->show();
        animateFrameHeight(m_height);
    }
    update();
}

void ZQCollapsibleContainerView::animateFrameHeight(double target)
{
    delete m_frameAnimation;
    const double from = height();
    m_frameAnimation = new EffectAnimation(
        this, kCollapseDuration,
        [this, from, target](double t) { setFrameSize(QSize(width(), qRound(from + (target - from) * t))); },
        [this] {
            m_frameAnimation = nullptr;
            frameAnimationStopped();
        });
}

void ZQCollapsibleContainerView::frameAnimationStopped()
{
    sendToDelegate(m_collapsed ? "containerViewDidCollapse" : "containerViewDidUncollapse",
                   {QVariant::fromValue<QObject*>(this)});
}

void ZQCollapsibleContainerView::collapseAll()
{
    for (QWidget* view : hostedViews())
        if (isContainer(view))
            static_cast<ZQCollapsibleContainerView*>(view)->setCollapsed(true);
    platform::RunLoop::cancelPreviousPerformRequests(this, kDelayedLayoutKey);
    platform::RunLoop::performAfterDelay(this, [this] { arrangeSubviews(); }, kCollapseAllLayoutDelay, kDelayedLayoutKey);
}

void ZQCollapsibleContainerView::expandAll()
{
    for (QWidget* view : hostedViews())
        if (isContainer(view))
            static_cast<ZQCollapsibleContainerView*>(view)->setCollapsed(false);
    platform::RunLoop::cancelPreviousPerformRequests(this, kDelayedLayoutKey);
    platform::RunLoop::performAfterDelay(this, [this] { arrangeSubviews(); }, kCollapseAllLayoutDelay, kDelayedLayoutKey);
}

void ZQCollapsibleContainerView::collapseAction(QObject*)
{
    collapseActionWithModifiers(QGuiApplication::keyboardModifiers());
}

void ZQCollapsibleContainerView::collapseActionWithModifiers(Qt::KeyboardModifiers modifiers)
{
    if ((modifiers & Qt::AltModifier) && m_parentContainerView) {
        if (m_collapsed)
            m_parentContainerView->expandAll();
        else
            m_parentContainerView->collapseAll();
        return;
    }
    setCollapsed(!m_collapseButton->isChecked());
}

void ZQCollapsibleContainerView::doubleClickInTitleBar()
{
    setCollapsed(!m_collapsed);
}

void ZQCollapsibleContainerView::closeAction(QObject*)
{
    if (m_parentContainerView)
        m_parentContainerView->removeViewFromContent(this);
    else
        releaseWhenOrphaned(this);
}

void ZQCollapsibleContainerView::helpButtonInternalAction(QObject*)
{
    sendToDelegate("containerViewShowHelpPopoverInRect",
                   {QVariant::fromValue<QObject*>(this), QVariant(QRectF(m_helpButton->geometry()))});
}

bool ZQCollapsibleContainerView::sendToDelegate(const char* message, const QVariantList& arguments, QVariant* answer) const
{
    if (!m_delegate)
        return false;
    const QMetaMethod method = platform::findMethod(m_delegate, message, int(arguments.size()));
    if (!method.isValid())
        return false;
    const QVariant result = platform::invokeMethod(m_delegate, method, arguments);
    if (answer)
        *answer = result;
    return true;
}

// --- Mouse -----------------------------------------------------------------------------------

void ZQCollapsibleContainerView::mousePressEvent(QMouseEvent* event)
{
    event->setAccepted(titleBarRect().contains(event->position()));
}

void ZQCollapsibleContainerView::mouseMoveEvent(QMouseEvent* event)
{
    if ((event->buttons() & Qt::LeftButton) && m_allowsReordering && titleBarRect().contains(event->position()))
        dragViewTitleBar();
}

void ZQCollapsibleContainerView::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (titleBarRect().contains(event->position()))
        doubleClickInTitleBar();
}

// --- Drawing ---------------------------------------------------------------------------------

QPainterPath ZQCollapsibleContainerView::zigZagEdgeInRect(const QRectF& rect)
{
    const double x = rect.x(), y = rect.y(), w = rect.width(), h = rect.height();
    int n = qFloor(h / 10);
    if (n % 2)
        ++n;
    QPainterPath path(QPointF(x + w, y));
    for (int i = 0; i < n; ++i)
        path.lineTo(i % 2 == 0 ? x : x + w, y + (i + 1) * h / n);
    path.lineTo(x, y + h);
    path.lineTo(x, y);
    path.closeSubpath();
    return path;
}

QPainterPath ZQCollapsibleContainerView::backgroundShape(const QRectF& r) const
{
    const double radius = std::min({m_cornerRadius, r.width() / 2, r.height() / 2});
    QPainterPath path;
    if (radius <= 0) {
        path.addRect(r);
        return path;
    }
    path.moveTo(r.left(), r.bottom());
    path.lineTo(r.left(), r.top() + radius);
    path.arcTo(QRectF(r.left(), r.top(), 2 * radius, 2 * radius), 180, -90);
    path.lineTo(r.right() - radius, r.top());
    path.arcTo(QRectF(r.right() - 2 * radius, r.top(), 2 * radius, 2 * radius), 90, -90);
    path.lineTo(r.right(), r.bottom());
    path.closeSubpath();
    return path;
}

void ZQCollapsibleContainerView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF r = centerScanRect(painter, QRectF(rect()));
    const QPainterPath shape = backgroundShape(r);
    painter.save();
    painter.setClipPath(shape);
    if (m_backgroundColour.isValid())
        painter.fillPath(shape, m_backgroundColour);
    if (m_indentationLevel > 0) {
        for (QWidget* view : hostedViews()) {
            if (!isContainer(view))
                continue;
            const auto* container = static_cast<ZQCollapsibleContainerView*>(view);
            if (container->m_indentationLevel == 0)
                continue;
            const QRectF strip(0, view->mapTo(this, QPoint(0, 0)).y(),
                               (container->m_indentationLevel - 1.0) * m_indentationAmount, view->height());
            painter.fillPath(zigZagEdgeInRect(strip), indentationStripColour());
        }
    }
    if (m_titleBarStyle != 0)
        drawTitleBar(painter, titleBarRect());
    painter.restore();
    if (m_borderWidth > 0) {
        painter.setPen(QPen(VLTMControlFrameColour(), m_borderWidth));
        painter.setBrush(Qt::NoBrush);
        painter.drawPath(shape);
    }
}

void ZQCollapsibleContainerView::drawTitleBar(QPainter& painter, const QRectF& rect) const
{
    if (m_highlightForDrag)
        painter.fillRect(rect, titlebarHighightColour());
    else if (m_drawsShinyGradient)
        CGContextDrawShinyGradient(&painter, rect, m_titleBarColour.toRgb(), true);
    else if (m_titleBarGradient)
        m_titleBarGradient->drawInRect(painter, rect, -90);
    else
        painter.fillRect(rect, m_titleBarColour);

    if (!m_title.isEmpty()) {
        painter.save();
        painter.setFont(titleAttributesFont());
        painter.setPen(titleAttributesColour());
        QRectF text = rect.adjusted(28, 1, -28, -1);
        const double textHeight = painter.fontMetrics().height();
        text.moveTop(text.y() + (rect.height() - textHeight) / 2);
        text.setHeight(textHeight);
        painter.drawText(text, Qt::AlignHCenter | Qt::AlignTop,
                         painter.fontMetrics().elidedText(m_title, Qt::ElideRight, qFloor(text.width())));
        painter.restore();
    }

    painter.save();
    painter.setPen(QPen(VLTMLightControlFrameColour(), 0.25));
    if (m_collapsed && isLastInStack())
        painter.drawLine(QPointF(rect.left(), rect.bottom() - 0.5), QPointF(rect.right(), rect.bottom() - 0.5));
    if (m_borderWidth == 0)
        painter.drawLine(QPointF(rect.left(), rect.top() + 0.5), QPointF(rect.right(), rect.top() + 0.5));
    painter.restore();
}

// --- Saved state -----------------------------------------------------------------------------

QVariantMap ZQCollapsibleContainerView::configurationDictionary() const
{
    QVariantMap dictionary;
    dictionary.insert(QStringLiteral("cv_ident"), m_cvident);
    if (!m_title.isNull())
        dictionary.insert(QStringLiteral("cv_title"), m_title);
    dictionary.insert(QStringLiteral("cv_frame"), stringFromRect(QRectF(geometry())));
    dictionary.insert(QStringLiteral("cv_collapsed"), m_collapsed);
    QVariantList subviews;
    for (QWidget* view : hostedViews())
        if (isContainer(view))
            subviews.append(static_cast<ZQCollapsibleContainerView*>(view)->configurationData());
    dictionary.insert(QStringLiteral("cv_subviews"), subviews);
    return dictionary;
}

QByteArray ZQCollapsibleContainerView::configurationData() const
{
    return platform::PropertyList::toData(configurationDictionary(), platform::PropertyList::Format::Xml).value_or(QByteArray());
}

bool ZQCollapsibleContainerView::restoreFromConfigurationData(const QByteArray& data)
{
    const std::optional<ContainerConfiguration> configuration = ContainerConfiguration::fromData(data);
    if (!configuration)
        return false;
    restore(*configuration);
    return true;
}

void ZQCollapsibleContainerView::restore(const ContainerConfiguration& configuration)
{
    removeAllContentViews();
    if (!configuration.identifier.isEmpty())
        m_cvident = configuration.identifier;
    setTitle(configuration.title);
    if (configuration.frame)
        m_height = configuration.frame->height();
    if (configuration.collapsed)
        setCollapsed(*configuration.collapsed);
    for (const ContainerConfiguration& sub : configuration.subcontainers) {
        auto* container = new ZQCollapsibleContainerView(QRectF(0, 0, 100, 100));
        addViewToContent(container);
        container->restore(sub);
    }
    arrangeSubviews();
}

QString ZQCollapsibleContainerView::description() const
{
    return QStringLiteral("<%1: 0x%2> '%3'")
        .arg(QString::fromLatin1(metaObject()->className()))
        .arg(quintptr(this), 0, 16)
        .arg(m_title);
}
