#pragma once

// The base of the panes that act on the selection as a whole rather than on a property: they
// hold no content, ask their delegate (the Geometry tab) for the layer and the selection
// count, and set their enabling each time their view is shown. Their commands are rows of
// buttons, each titled by its tooltip.

#include "platform/ui/ViewController.h"

#include <QPointer>
#include <functional>

class QAbstractButton;
class QHBoxLayout;
class VLTMGeometryPaneDelegate;
class VXObjectDrawingLayer;

class VLTMGeometryPseudoPane : public platform::ViewController {
    Q_OBJECT

public:
    struct Command {
        QString title;
        std::function<void()> action;
        // What the button shows; the title when none is given (the title is the tooltip).
        QString label = {};
    };

    VLTMGeometryPseudoPane();
    ~VLTMGeometryPseudoPane() override;

    // Not owned; null detaches the pane.
    void setDelegate(QObject* delegate) { m_delegate = delegate; }
    QObject* delegate() const { return m_delegate; }

    // The delegate's current object layer; null without an answer.
    VXObjectDrawingLayer* currentLayer();
    // The delegate's selection count; 0 without an answer.
    qint64 countOfSelectedObjects();

    // Pseudo panes keep no content: the tab's content calls do nothing here.
    void unloadContent() {}
    void reloadContent() {}

    // Sets the enabling that depends on the selection; run each time the view is shown.
    virtual void viewDidAppear() {}
    // The pane's help page.
    virtual QString helpIdentifier() const = 0;

protected:
    // The pane's bold heading with its help button.
    QWidget* makeHeading(const QString& title);
    // A row of buttons, one per command, tooltip and accessible name its title.
    QWidget* makeButtonRow(const QList<Command>& commands, QList<QPointer<QAbstractButton>>* buttons = nullptr);
    // The pane takes the command's title, then runs it: the title names what the receiver does.
    void perform(const QString& title, const std::function<void()>& action);
    bool eventFilter(QObject* watched, QEvent* event) override;
    void viewDidLoad() override;

private:
    VLTMGeometryPaneDelegate* paneDelegate() const;

    QPointer<QObject> m_delegate;
};
