#include "style_editor/panes/strokes/DashMenu.h"

#include "platform/ui/MenuItem.h"
#include "style_editor/panes/table/StyleTablePane.h"

#include <QActionGroup>
#include <QFormLayout>
#include <QMenu>
#include <QPainter>

namespace {

constexpr QSize kSwatchSize(64, 20);

QIcon templateIcon(const QImage& image)
{
    QIcon icon(QPixmap::fromImage(image));
    icon.setIsMask(true);
    return icon;
}

QIcon solidLineIcon()
{
    QImage image(kSwatchSize, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setPen(QPen(Qt::black, 3, Qt::SolidLine, Qt::FlatCap));
    painter.drawLine(QPointF(0, 10), QPointF(kSwatchSize.width(), 10));
    return templateIcon(image);
}

} // namespace

DashMenu::DashMenu(Handlers handlers, QWidget* parent)
    : QToolButton(parent)
    , m_handlers(std::move(handlers))
{
    m_menu = new QMenu(tr("Dashes"), this);
    setMenu(m_menu);
    setPopupMode(QToolButton::InstantPopup);
    setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    setIconSize(kSwatchSize);
    rebuild();
}

platform::MenuItem* DashMenu::addItem(const QString& title, int tag)
{
    auto* item = new platform::MenuItem(title, {}, m_menu);
    item->setTag(tag);
    item->setCheckable(true);
    item->setIconVisibleInMenu(true);
    m_menu->addAction(item);
    connect(item, &QAction::triggered, this, [this, item] {
        if (item->tag() == kCustomTag) {
            if (m_handlers.custom)
                m_handlers.custom();
            return;
        }
        const auto dash = item->representedObject().value<VXStrokeDashPtr>();
        // The stroke gets a dash of its own: editing it must not change the registered one.
        m_handlers.chosen(dash ? std::static_pointer_cast<VXStrokeDash>(dash->copy()) : nullptr);
    });
    return item;
}

void DashMenu::rebuild()
{
    m_menu->clear();
    delete m_group;
    m_group = new QActionGroup(m_menu);
    QActionGroup* group = m_group;
    group->addAction(addItem(tr("Solid Line"), kSolidTag))->setIcon(solidLineIcon());
    for (const VXStrokeDashPtr& dash : VXStrokeDash::registeredDashes()) {
        platform::MenuItem* item = addItem(QString(), kDashTag);
        item->setRepresentedObject(QVariant::fromValue(dash));
        item->setIcon(templateIcon(dash->dashSwatchImageWithSizeStrokeWidth(kSwatchSize, 3)));
        group->addAction(item);
    }
    m_menu->addSeparator();
    group->addAction(addItem(tr("Custom..."), kCustomTag));
}

void DashMenu::selectDash(const VXStrokeDashPtr& dash)
{
    platform::MenuItem* selected = nullptr;
    platform::MenuItem* custom = nullptr;
    for (QAction* action : m_menu->actions()) {
        auto* item = qobject_cast<platform::MenuItem*>(action);
        if (!item)
            continue;
        if (item->tag() == kCustomTag)
            custom = item;
        if (selected)
            continue;
        if (!dash || !dash->isValid()) {
            if (item->tag() == kSolidTag)
                selected = item;
        } else if (const auto registered = item->representedObject().value<VXStrokeDashPtr>();
                   registered && registered->isEqualToDash(dash.get())) {
            selected = item;
        }
    }
    if (!selected)
        selected = custom;
    selected->setChecked(true);
    setIcon(selected->icon());
    setText(selected->icon().isNull() ? selected->title() : QString());
}

platform::MenuItem* DashMenu::selectedItem() const
{
    for (QAction* action : m_menu->actions())
        if (action->isChecked())
            return qobject_cast<platform::MenuItem*>(action);
    return nullptr;
}

DashMenu* DashMenu::addToForm(StyleTablePane& pane, QFormLayout& form, const QString& keyPath,
                              std::function<void()> custom)
{
    auto* menu = new DashMenu({.chosen = [&pane, keyPath](const VXStrokeDashPtr& dash) {
                                   pane.setCommonValueForKeyPath(QVariant::fromValue(dash), keyPath);
                               },
                               .custom = std::move(custom)});
    form.addRow(tr("Dash"), menu);
    return menu;
}
