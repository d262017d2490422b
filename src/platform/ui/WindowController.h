#pragma once

// A controller that builds and owns one window (in code, with Qt layouts) and stands right
// after it in the responder chain, followed by its document. The window is made on first
// use: override loadWindow to build it and windowDidLoad to finish setting it up.
//
// A document's window shows the document's name and edited state. Closing the document's
// last window (or one that closes the document) closes the document, after asking to save
// unsaved changes.

#include "platform/foundation/ZQObject.h"
#include "platform/ui/ResponderChain.h"

#include <QPointer>
#include <QWidget>

namespace platform {

class Document;

class WindowController : public ZQObject, public Responder {
    Q_OBJECT

public:
    WindowController();
    ~WindowController() override;

    void initWithWindowNibName(const QString& windowNibName);
    QString windowNibName() const;

    QWidget* window();
    bool isWindowLoaded() const { return m_window != nullptr; }

    Document* document() const;
    // Called by the document when it adds or removes the controller.
    virtual void setDocument(Document* document);
    bool shouldCloseDocument() const { return m_shouldCloseDocument; }
    void setShouldCloseDocument(bool flag) { m_shouldCloseDocument = flag; }

    Q_INVOKABLE void showWindow(QObject* sender);
    // Closes the window without asking anything.
    void close();

    virtual QString windowTitleForDocumentDisplayName(const QString& displayName) const;
    void synchronizeWindowTitleWithDocumentName();

    QObject* nextResponder() const override;

    static WindowController* controllerForWindow(const QWidget* window);

protected:
    // Builds the window; the default is an empty top-level widget.
    virtual QWidget* loadWindow();
    virtual void windowDidLoad() {}
    // Asked when the user closes the window; false keeps it open.
    virtual bool windowShouldClose() { return true; }
    virtual void windowWillClose() {}

    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void observeDocument();
    // Whether closing this window would close the document.
    bool closesDocument() const;

    QPointer<QWidget> m_window;
    QPointer<Document> m_document;
    QList<ObservationToken> m_documentObservations;
    QString m_windowNibName;
    bool m_shouldCloseDocument = false;
};

} // namespace platform
