#include "style_editor/panes/strokes/StrokeWidthMenu.h"

#include "platform/ui/MenuItem.h"
#include "style_editor/panes/table/StylePaneRowControl.h"
#include "style_editor/panes/table/StyleTablePane.h"

#include <QActionGroup>
#include <QLayout>
#include <QMenu>
#include <cmath>

namespace {

constexpr int kWidthTags[] = {1, 2, 3, 5, 7, 10, 12, 15, 20, 25, 30, 40, 50, 60, 80, 100};

} // namespace

StrokeWidthMenu::StrokeWidthMenu(QWidget* field, std::function<void(double)> chosen, QWidget* parent)
    : QToolButton(parent)
    , m_field(field)
{
    m_menu = new QMenu(this);
    auto* group = new QActionGroup(m_menu);
    const auto addItem = [&](int tag) {
        auto* item = new platform::MenuItem(QString(), {}, m_menu);
        item->setTag(tag);
        item->setCheckable(true);
        item->setIconVisibleInMenu(true);
        group->addAction(item);
        m_menu->addAction(item);
        connect(item, &QAction::triggered, this, [this, tag, chosen] {
            if (tag > 0)
                chosen(tag / 10.0);
            else if (m_field)
                m_field->setFocus(Qt::OtherFocusReason);
        });
    };
    for (int tag : kWidthTags)
        addItem(tag);
    m_menu->addSeparator();
    addItem(kOtherTag);
    setMenu(m_menu);
    setPopupMode(QToolButton::InstantPopup);
    setText(QStringLiteral("\u25BE"));
    setToolTip(tr("Line widths"));
}

platform::MenuItem* StrokeWidthMenu::itemWithTag(int tag) const
{
    for (QAction* action : m_menu->actions())
        if (auto* item = qobject_cast<platform::MenuItem*>(action); item && item->tag() == tag)
            return item;
    return nullptr;
}

platform::MenuItem* StrokeWidthMenu::selectedItem() const
{
    for (QAction* action : m_menu->actions())
        if (action->isChecked())
            return qobject_cast<platform::MenuItem*>(action);
    return nullptr;
}

void StrokeWidthMenu::selectWidth(double width)
{
    platform::MenuItem* other = itemWithTag(kOtherTag);
    // A small allowance so that 0.7 pt, stored as 0.69999..., is the 0.7 pt item.
    const int tag = std::isfinite(width) ? int(std::floor(10.0 * width + 1e-9)) : kOtherTag;
    platform::MenuItem* item = tag > 0 ? itemWithTag(tag) : nullptr;
    if (item) {
        other->setTitle(tr("Other"));
        item->setChecked(true);
        return;
    }
    other->setTitle(QStringLiteral("%1 (%2pt)").arg(tr("Other"), QString::asprintf("%.1f", width)));
    other->setChecked(true);
}

StrokeWidthMenu* StrokeWidthMenu::addToWidthRow(StyleTablePane& pane, const QString& keyPath)
{
    StylePaneRowControl* row = pane.rowControl(keyPath);
    auto* menu = new StrokeWidthMenu(row->field(), [&pane, keyPath](double points) {
        pane.setCommonValueForKeyPath(points, keyPath);
    });
    row->widget()->layout()->addWidget(menu);
    pane.initialiseStrokeWidthMenu(menu->widthMenu());
    return menu;
}
