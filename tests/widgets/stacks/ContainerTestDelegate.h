#pragma once

#include "widgets/stacks/ZQCollapsibleContainerView.h"

#include <QObject>
#include <QStringList>

// A container delegate that logs the messages it gets and answers drops as told.
class ContainerTestDelegate : public QObject {
    Q_OBJECT

public:
    Q_INVOKABLE void containerViewWillAddSubview(ZQCollapsibleContainerView*, QWidget*) { log << "willAdd"; }
    Q_INVOKABLE void containerViewDidAddSubview(ZQCollapsibleContainerView*, QWidget*) { log << "didAdd"; }
    Q_INVOKABLE void containerViewDidCollapse(ZQCollapsibleContainerView* c) { log << "didCollapse " + c->title(); }
    Q_INVOKABLE void containerViewDidUncollapse(ZQCollapsibleContainerView* c) { log << "didUncollapse " + c->title(); }
    Q_INVOKABLE void containerViewConfigurationDidChange(ZQCollapsibleContainerView*) { ++configurationNotices; }
    Q_INVOKABLE bool containerViewWillAcceptDroppedViewAtIndex(ZQCollapsibleContainerView*, QWidget*, int index)
    {
        log << QStringLiteral("willAccept %1").arg(index);
        return acceptsDrops;
    }
    Q_INVOKABLE void containerViewDidMoveSubviewToIndex(ZQCollapsibleContainerView*, QWidget*, int index)
    {
        log << QStringLiteral("didMove %1").arg(index);
    }

    QStringList log;
    int configurationNotices = 0;
    bool acceptsDrops = true;
};
