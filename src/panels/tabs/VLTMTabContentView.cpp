#include "panels/tabs/VLTMTabContentView.h"

#include "app/sidebar/VLTMTabContentViewController.h"
#include "panels/tabs/VLTMTabViewModel.h"
#include "platform/foundation/ZQAssert.h"
#include "widgets/paint/KitImage.h"

#include <QFontMetricsF>
#include <QImage>
#include <QPixmap>
#include <cmath>

namespace {

constexpr double kIconBase = 50.0;
constexpr double kPlainBase = 14.0;
// Icons are rendered at twice their point size so they stay sharp on dense screens.
constexpr qreal kIconRenderRatio = 2.0;

QIcon iconFromArtwork(const QString& name)
{
    const KitImage artwork = imageNamed(name);
    if (artwork.isNull())
        return {};
    return QIcon(QPixmap::fromImage(artwork.imageOfSize(artwork.size(), kIconRenderRatio)));
}

QIcon iconFromValue(const QVariant& value)
{
    if (value.canConvert<QIcon>() && value.metaType().id() == QMetaType::QIcon)
        return value.value<QIcon>();
    if (value.metaType().id() == QMetaType::QPixmap)
        return QIcon(value.value<QPixmap>());
    if (value.metaType().id() == QMetaType::QImage)
        return QIcon(QPixmap::fromImage(value.value<QImage>()));
    return {};
}

} // namespace

QFont VLTMTabContentView::defaultTitleFont()
{
    QFont font;
    font.setPointSizeF(kDefaultTitleFontSize);
    return font;
}

VLTMTabContentView::VLTMTabContentView() = default;
VLTMTabContentView::~VLTMTabContentView() = default;

VLTMTabViewModel* VLTMTabContentView::tabView() const
{
    return m_tabView;
}

void VLTMTabContentView::setTabView(VLTMTabViewModel* tabView)
{
    m_tabView = tabView;
}

void VLTMTabContentView::setTitle(const QString& title)
{
    m_title = title;
    Q_EMIT appearanceChanged();
}

void VLTMTabContentView::setIcon(const QIcon& icon)
{
    m_icon = icon;
    Q_EMIT appearanceChanged();
}

void VLTMTabContentView::setSelectedIcon(const QIcon& icon)
{
    m_selectedIcon = icon;
    Q_EMIT appearanceChanged();
}

void VLTMTabContentView::setTitleVisible(bool visible)
{
    m_titleVisible = visible;
    Q_EMIT appearanceChanged();
}

void VLTMTabContentView::setIconVisible(bool visible)
{
    m_iconVisible = visible;
    Q_EMIT appearanceChanged();
}

void VLTMTabContentView::setState(State state)
{
    m_state = state;
    Q_EMIT appearanceChanged();
}

void VLTMTabContentView::setHighlighted(bool highlighted)
{
    if (isSelected())
        setState(highlighted ? SelectedHighlighted : Selected);
    else
        setState(highlighted ? Highlighted : Normal);
}

void VLTMTabContentView::becomeSelected()
{
    setState(Selected);
}

void VLTMTabContentView::resignSelected()
{
    setState(Normal);
}

void VLTMTabContentView::setContentViewWithController(std::shared_ptr<platform::ViewController> controller)
{
    if (!ZQ_EXPECT(controller, QStringLiteral("must have a valid controller")))
        return;
    m_tabIdentifier = controller->nibName();
    if (!controller->title().isEmpty())
        m_title = controller->title();
    if (auto* tabController = qobject_cast<VLTMTabContentViewController*>(controller.get())) {
        const QVariant icon = tabController->tabIcon();
        if (icon.metaType().id() == QMetaType::QString)
            loadIconsNamed(icon.toString());
        else if (!icon.isNull())
            m_icon = iconFromValue(icon);
        m_tooltip = tabController->tabTooltip();
    }
    m_viewController = std::move(controller);
    Q_EMIT appearanceChanged();
}

void VLTMTabContentView::loadIconsNamed(const QString& name)
{
    m_icon = iconFromArtwork(name);
    const qsizetype dot = name.lastIndexOf(u'.');
    const QString selectedName = dot < 0 ? QString(name + QStringLiteral("_selected"))
                                         : QString(name.left(dot) + QStringLiteral("_selected") + name.mid(dot));
    const QIcon selected = iconFromArtwork(selectedName);
    if (!selected.isNull())
        m_selectedIcon = selected;
}

double VLTMTabContentView::widthNeededForTab() const
{
    const double base = (!m_icon.isNull() && m_iconVisible) ? kIconBase : kPlainBase;
    if (m_title.isEmpty() || !m_titleVisible)
        return std::ceil(base);
    return std::ceil(base + QFontMetricsF(defaultTitleFont()).horizontalAdvance(m_title));
}

QString VLTMTabContentView::description() const
{
    return QStringLiteral("%1(%2) '%3' [%4]")
        .arg(QString::fromLatin1(metaObject()->className()))
        .arg(quintptr(this), 0, 16)
        .arg(m_title, m_tabIdentifier.isEmpty() ? QStringLiteral("<no id>") : m_tabIdentifier);
}
