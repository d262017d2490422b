#include "widgets/iconview/JXDistributedViewAccessibility.h"

#include "widgets/iconview/JXDistributedView.h"

#include <QAccessibleWidget>
#include <QPointer>
#include <QScrollBar>
#include <map>

namespace {

class ItemAccessible : public QAccessibleInterface {
public:
    ItemAccessible(JXDistributedView* view, QAccessibleInterface* parent, qint64 index)
        : m_view(view)
        , m_parent(parent)
        , m_index(index)
    {
    }

    bool isValid() const override { return m_view && m_index < m_view->numberOfItems(); }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override { return m_parent->window(); }
    QAccessibleInterface* parent() const override { return m_parent; }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QAccessible::Role role() const override { return QAccessible::ListItem; }
    QString text(QAccessible::Text kind) const override
    {
        if (kind != QAccessible::Name || !isValid())
            return {};
        m_view->fillPrototypeForItem(m_index);
        return m_view->prototype() ? m_view->prototype()->stringValue() : QString();
    }
    void setText(QAccessible::Text, const QString&) override {}
    QRect rect() const override
    {
        if (!isValid())
            return {};
        const QPointF offset(m_view->horizontalScrollBar()->value(), m_view->verticalScrollBar()->value());
        const QRect local = m_view->rectForItemAtIndex(m_index).translated(-offset).toAlignedRect();
        return QRect(m_view->viewport()->mapToGlobal(local.topLeft()), local.size());
    }
    QAccessible::State state() const override
    {
        QAccessible::State state;
        state.selectable = true;
        state.selected = isValid() && m_view->isItemSelected(m_index);
        return state;
    }

private:
    QPointer<JXDistributedView> m_view;
    QAccessibleInterface* m_parent;
    qint64 m_index;
};

class ViewAccessible : public QAccessibleWidget {
public:
    explicit ViewAccessible(JXDistributedView* view)
        : QAccessibleWidget(view, QAccessible::List)
    {
    }
    ~ViewAccessible() override
    {
        for (const auto& [index, id] : m_items)
            QAccessible::deleteAccessibleInterface(id);
    }

    int childCount() const override { return int(std::min<qint64>(view()->numberOfItems(), INT_MAX)); }
    QAccessibleInterface* child(int index) const override
    {
        if (index < 0 || index >= childCount())
            return nullptr;
        auto found = m_items.find(index);
        if (found == m_items.end()) {
            auto* item = new ItemAccessible(view(), const_cast<ViewAccessible*>(this), index);
            found = m_items.emplace(index, QAccessible::registerAccessibleInterface(item)).first;
        }
        return QAccessible::accessibleInterface(found->second);
    }
    int indexOfChild(const QAccessibleInterface* child) const override
    {
        for (const auto& [index, id] : m_items)
            if (QAccessible::accessibleInterface(id) == child)
                return index;
        return -1;
    }

private:
    JXDistributedView* view() const { return static_cast<JXDistributedView*>(widget()); }
    mutable std::map<int, QAccessible::Id> m_items;
};

QAccessibleInterface* distributedViewFactory(const QString& className, QObject* object)
{
    if (auto* view = qobject_cast<JXDistributedView*>(object); view && className == QLatin1String(object->metaObject()->className()))
        return new ViewAccessible(view);
    return nullptr;
}

} // namespace

void installDistributedViewAccessibility()
{
    static const bool installed = [] {
        QAccessible::installFactory(distributedViewFactory);
        return true;
    }();
    Q_UNUSED(installed);
}
