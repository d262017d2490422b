#pragma once

// A controller that builds and owns a widget tree in code (with Qt layouts) and stands
// right after its view in the responder chain. The view is made on first use: override
// loadView to build it and viewDidLoad to finish setting up what needs the controller.
// A view that was put into another widget belongs to that widget; one that was not goes
// with the controller.

#include "platform/foundation/ZQObject.h"

#include <QPointer>
#include <QWidget>

namespace platform {

class ViewController : public ZQObject {
    Q_OBJECT
    Q_PROPERTY(QVariant representedObject READ representedObject WRITE setRepresentedObject)
    Q_PROPERTY(QString title READ title WRITE setTitle)

public:
    ViewController();
    ~ViewController() override;

    // The name the view is known by (logs, builders); the class name when none is given.
    void initWithNibName(const QString& nibName);
    QString nibName() const;

    QWidget* view();
    bool isViewLoaded() const { return m_view != nullptr; }
    // Adopts a view made elsewhere (the previous one, if not placed anywhere, is deleted).
    void setView(QWidget* view);

    QVariant representedObject() const { return m_representedObject; }
    virtual void setRepresentedObject(const QVariant& object);
    QString title() const { return m_title; }
    void setTitle(const QString& title);

    // The controller a widget belongs to, or null.
    static ViewController* controllerForView(const QWidget* view);

protected:
    // Builds the view; the default is an empty widget.
    virtual QWidget* loadView();
    virtual void viewDidLoad() {}

private:
    void releaseView();

    QPointer<QWidget> m_view;
    QString m_nibName;
    QVariant m_representedObject;
    QString m_title;
};

} // namespace platform
