#pragma once

// The base of the controllers hosted by a side-panel tab. The tab shows the controller's
// view under its title, icon and tool tip.

#include "platform/ui/ViewController.h"

#include <QVariant>

class VXDrawing;

class VLTMTabContentViewController : public platform::ViewController {
    Q_OBJECT
    Q_PROPERTY(QVariant tabIcon READ tabIcon WRITE setTabIcon)
    Q_PROPERTY(QString tabTooltip READ tabTooltip WRITE setTabTooltip)

public:
    VLTMTabContentViewController();
    ~VLTMTabContentViewController() override;

    // Logs the name, then names the controller as any view controller.
    void initWithNibName(const QString& nibName);

    // An icon or image, or the name of an image resource; none unless a subclass sets it.
    QVariant tabIcon() const { return m_tabIcon; }
    void setTabIcon(const QVariant& icon) { m_tabIcon = icon; }
    QString tabTooltip() const { return m_tabTooltip; }
    void setTabTooltip(const QString& tooltip) { m_tabTooltip = tooltip; }

    // The document hands over its drawing once its window is made (null as it closes); the
    // base ignores it.
    virtual void setDrawing(VXDrawing* drawing) { Q_UNUSED(drawing) }

    // An item is enabled exactly when this controller has its action.
    Q_INVOKABLE bool validateUserInterfaceItem(QObject* item);

private:
    QVariant m_tabIcon;
    QString m_tabTooltip;
};
