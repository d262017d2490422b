#include "platform/ui/Toolbar.h"

#include "platform/foundation/RunLoop.h"
#include "platform/ui/Menu.h"

#include <QCoreApplication>
#include <QEvent>
#include <QPointer>
#include <QSet>

namespace platform {

namespace {

class ToolbarValidationScheduler : public QObject {
public:
    static ToolbarValidationScheduler& instance()
    {
        static auto* scheduler = new ToolbarValidationScheduler;
        return *scheduler;
    }

    void add(Toolbar* toolbar)
    {
        if (!m_installed && QCoreApplication::instance()) {
            QCoreApplication::instance()->installEventFilter(this);
            m_installed = true;
        }
        m_toolbars.insert(toolbar);
        schedule();
    }
    void remove(Toolbar* toolbar) { m_toolbars.remove(toolbar); }

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        switch (event->type()) {
        case QEvent::MouseButtonRelease:
        case QEvent::KeyRelease:
        case QEvent::FocusIn:
        case QEvent::WindowActivate:
            schedule();
            break;
        default:
            break;
        }
        return false;
    }

private:
    void schedule()
    {
        if (m_toolbars.isEmpty())
            return;
        RunLoop::cancelPreviousPerformRequests(this, "validateToolbars");
        RunLoop::performAfterDelay(this, [this] {
            for (Toolbar* toolbar : QSet<Toolbar*>(m_toolbars))
                if (m_toolbars.contains(toolbar) && toolbar->isVisible())
                    toolbar->validateVisibleItems();
        }, 0, "validateToolbars");
    }

    QSet<Toolbar*> m_toolbars;
    bool m_installed = false;
};

} // namespace

Toolbar::Toolbar(const QString& title, QWidget* parent)
    : QToolBar(title, parent)
{
    ToolbarValidationScheduler::instance().add(this);
}

Toolbar::~Toolbar()
{
    ToolbarValidationScheduler::instance().remove(this);
}

void Toolbar::validateVisibleItems()
{
    Menu::validateActions(actions());
    for (QAction* action : actions())
        if (auto* item = dynamic_cast<ToolbarItemValidation*>(action))
            item->validate();
}

} // namespace platform
