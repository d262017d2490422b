#pragma once

// Connects a widget to a top-level mini-control cluster: the cluster's view becomes the
// widget, and the widget's left-button gestures and modifier-key changes go to the cluster
// (part −1, as the cluster finds the part itself). A press the cluster takes is the
// cluster's until the release; other presses reach the widget as usual. The widget draws
// the cluster from its paintEvent by calling draw().

#include "widgets/minicontrols/ZQMiniControlCluster.h"

#include <QObject>
#include <QWidget>

class ZQMiniControlHost : public QObject {
    Q_OBJECT

public:
    ZQMiniControlHost(QWidget* view, std::shared_ptr<ZQMiniControlCluster> cluster);
    ~ZQMiniControlHost() override;

    ZQMiniControlCluster* cluster() const { return m_cluster.get(); }
    void draw(QPainter& painter) const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QPointer<QWidget> m_view;
    std::shared_ptr<ZQMiniControlCluster> m_cluster;
    bool m_tracking = false;
};
