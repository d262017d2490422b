#pragma once

// The source of a text file (the media browser's SVG files) in a window-modal sheet:
// read-only, in a fixed-pitch font, never wrapped, with a button that closes the sheet
// with code 1. The sheet asks its delegate for the file each time it opens. A file that
// cannot be shown (missing, a folder, unreadable, not UTF-8, over 16 MB) leaves the text
// empty and the sheet says why, so no earlier file's text passes for it.

#include "platform/ui/WindowController.h"

#include <QPointer>
#include <QTextCharFormat>
#include <QUrl>

class QDialog;
class QLabel;
class QPlainTextEdit;
class ZQViewSourceController;

// Mixed into the delegate, a QObject.
class ZQViewSourceControllerDelegate {
public:
    virtual ~ZQViewSourceControllerDelegate() = default;

    // The file to show; an empty URL for none.
    virtual QUrl urlForViewSourceController(ZQViewSourceController* controller) = 0;
};

class ZQViewSourceController : public platform::WindowController {
    Q_OBJECT

public:
    static constexpr qint64 kMaximumSourceSize = 16 * 1024 * 1024;

    // The source's look: the system's fixed-pitch font at 12 points.
    static const QTextCharFormat& sourceFormattingAttributes();

    QObject* delegate() const { return m_delegateRef; }
    void setDelegate(QObject* delegate) { m_delegateRef = delegate; }

    void beginSheetModalForWindowDelegate(QWidget* window, QObject* delegate);
    Q_INVOKABLE void closeAction(QObject* sender);

    // The delegate's URL; empty when there is no delegate that answers.
    QUrl loadTextURL();
    // Shows the file's text from its first line; an empty URL empties the view.
    void loadTextWithContentsOfURL(const QUrl& url);
    // Finishes the window once it is built: no wrapping, the margin, the delegate's text.
    void awakeFromInterface();

    QPlainTextEdit* textView();
    // Why the file is not shown; empty while it is.
    QString loadError();

protected:
    QWidget* loadWindow() override;
    void windowDidLoad() override;

private:
    QDialog* sheet();
    void showError(const QString& message);

    QPointer<QObject> m_delegateRef;
    QPointer<QPlainTextEdit> m_textView;
    QPointer<QLabel> m_errorLabel;
};
