#include "platform/vantrix/view/CursorStack.h"

#include <QWidget>
#include <vector>

namespace platform {

namespace {

// Lives as a child of its widget, so the stack goes when the widget does. Its own meta-object
// lets findChild tell it from the widget's other children.
class CursorStackHolder : public QObject {
    Q_OBJECT

public:
    using QObject::QObject;
    std::vector<QCursor> kept;
};

CursorStackHolder* holderOf(const QWidget* widget)
{
    return widget ? widget->findChild<CursorStackHolder*>(QString(), Qt::FindDirectChildrenOnly) : nullptr;
}

} // namespace

void CursorStack::push(QWidget* widget, const QCursor& cursor)
{
    if (!widget)
        return;
    CursorStackHolder* holder = holderOf(widget);
    if (!holder)
        holder = new CursorStackHolder(widget);
    holder->kept.push_back(widget->cursor());
    widget->setCursor(cursor);
}

void CursorStack::set(QWidget* widget, const QCursor& cursor)
{
    if (widget)
        widget->setCursor(cursor);
}

void CursorStack::pop(QWidget* widget)
{
    CursorStackHolder* holder = holderOf(widget);
    if (!holder || holder->kept.empty())
        return;
    widget->setCursor(holder->kept.back());
    holder->kept.pop_back();
}

void CursorStack::popAll(QWidget* widget)
{
    CursorStackHolder* holder = holderOf(widget);
    if (!holder || holder->kept.empty())
        return;
    widget->setCursor(holder->kept.front());
    holder->kept.clear();
}

int CursorStack::depth(const QWidget* widget)
{
    const CursorStackHolder* holder = holderOf(widget);
    return holder ? int(holder->kept.size()) : 0;
}

} // namespace platform

#include "CursorStack.moc"
