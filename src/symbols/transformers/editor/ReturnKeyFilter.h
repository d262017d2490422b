#pragma once

// Makes Return in a field of the sheet commit that field instead of ending the sheet through
// its default button: the count of bins and the formula are typed and tried several times.

#include <QEvent>
#include <QKeyEvent>
#include <QObject>
#include <functional>

class ReturnKeyFilter : public QObject {
public:
    ReturnKeyFilter(QObject* field, std::function<void()> commit) : QObject(field), m_commit(std::move(commit))
    {
        field->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() != QEvent::KeyPress)
            return false;
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key != Qt::Key_Return && key != Qt::Key_Enter)
            return false;
        m_commit();
        return true;
    }

private:
    std::function<void()> m_commit;
};
