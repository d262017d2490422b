#pragma once

// The help window: a floating window that shows help pages (local HTML files) with back and
// forward, home, larger and smaller text, a find field (forward, ignoring case, wrapping
// round), printing and a button that hands the page to the system's web browser. One per
// process. A folder URL shows the folder's "index.html".
//
// The page view reads files synchronously, so each opening runs start, commit and finish in
// turn; webBusyCount counts loads committed and not finished, and the indicator shows while
// one runs.

#include "platform/ui/WindowController.h"

#include <QUrl>

class QLineEdit;
class QProgressBar;
class QTextBrowser;
class QToolButton;

class VLTMWebViewWindowController : public platform::WindowController {
    Q_OBJECT

public:
    static VLTMWebViewWindowController* sharedWebWindowController();
    VLTMWebViewWindowController();

    // Stores the URL, shows the window and loads the page.
    void openURL(const QUrl& url);

    QUrl URL() const { return m_url; }
    QUrl homePageURL() const { return m_homePageURL; }
    void setHomePageURL(const QUrl& url) { m_homePageURL = url; }
    int webBusyCount() const { return m_webBusyCount; }
    QTextBrowser* webView();
    QLineEdit* searchField();
    // The page's title when it has one, else the title given by whoever opened help.
    void setFallbackTitle(const QString& title);

    // Segment 0 goes back, 1 forward.
    void navigationAction(int segment);
    Q_INVOKABLE void homeAction(QObject* sender = nullptr);
    // Segment 0 makes text larger, 1 smaller, down to a smallest readable size.
    void textSizeAction(int segment);
    bool canMakeTextSmaller();
    // Finds the search field's text after the selection, from the top when none follows.
    // Answers whether it was found; an empty field finds nothing and moves nothing.
    bool searchAction();
    Q_INVOKABLE void openInExternalBrowserAction(QObject* sender = nullptr);
    Q_INVOKABLE void printAction(QObject* sender = nullptr);

    bool canGoBack() const;
    bool canGoForward() const;

protected:
    QWidget* loadWindow() override;
    void windowDidLoad() override;

private:
    void load(const QUrl& url);
    void didStartProvisionalLoad(const QUrl& url);
    void didCommitLoad(const QUrl& url);
    void didFinishLoad();
    void didFailLoad(const QString& error);
    void updateTitle();
    void validateNavigation();

    QTextBrowser* m_webView = nullptr;
    QToolButton* m_backButton = nullptr;
    QToolButton* m_forwardButton = nullptr;
    QToolButton* m_smallerButton = nullptr;
    QLineEdit* m_searchField = nullptr;
    QProgressBar* m_loadingIndicator = nullptr;
    QUrl m_url;
    QUrl m_homePageURL;
    QString m_fallbackTitle;
    int m_webBusyCount = 0;
};
