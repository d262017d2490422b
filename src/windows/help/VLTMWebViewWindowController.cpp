#include "windows/help/VLTMWebViewWindowController.h"

#include "app/application/VLTMHelpTrampoline.h"
#include "platform/foundation/ZQLog.h"

#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPrintDialog>
#include <QPrinter>
#include <QProgressBar>
#include <QTextBrowser>
#include <QTextCursor>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

// A folder's page is its "index.html", as a web server would answer.
QUrl pageURL(const QUrl& url)
{
    if (!url.isLocalFile() || !QFileInfo(url.toLocalFile()).isDir())
        return url;
    QUrl page = QUrl::fromLocalFile(QDir(url.toLocalFile()).filePath(QStringLiteral("index.html")));
    page.setFragment(url.fragment());
    return page;
}

// Smaller text than this cannot be read; "A−" stops there.
constexpr qreal kSmallestTextPointSize = 8;

QToolButton* makeButton(const QString& text, const QString& toolTip, QWidget* parent)
{
    auto* button = new QToolButton(parent);
    button->setText(text);
    button->setToolTip(toolTip);
    button->setAutoRaise(true);
    return button;
}

} // namespace

VLTMWebViewWindowController* VLTMWebViewWindowController::sharedWebWindowController()
{
    static VLTMWebViewWindowController* const shared = new VLTMWebViewWindowController;
    return shared;
}

VLTMWebViewWindowController::VLTMWebViewWindowController()
{
    initWithWindowNibName(QStringLiteral("VLTMWebViewWindowController"));
}

QTextBrowser* VLTMWebViewWindowController::webView()
{
    window();
    return m_webView;
}

QLineEdit* VLTMWebViewWindowController::searchField()
{
    window();
    return m_searchField;
}

QWidget* VLTMWebViewWindowController::loadWindow()
{
    // A tool window floats over the document windows, as a help viewer should.
    auto* window = new QWidget(nullptr, Qt::Tool);
    window->setAttribute(Qt::WA_QuitOnClose, false);
    window->resize(720, 640);

    auto* bar = new QHBoxLayout;
    m_backButton = makeButton(QStringLiteral("◀"), tr("Back"), window);
    m_forwardButton = makeButton(QStringLiteral("▶"), tr("Forward"), window);
    QToolButton* home = makeButton(tr("Home"), tr("Help contents"), window);
    QToolButton* larger = makeButton(QStringLiteral("A+"), tr("Larger text"), window);
    m_smallerButton = makeButton(QStringLiteral("A−"), tr("Smaller text"), window);
    QToolButton* print = makeButton(tr("Print"), tr("Print this page"), window);
    QToolButton* browser = makeButton(tr("Open in Browser"), tr("Show this page in your web browser"), window);
    m_loadingIndicator = new QProgressBar(window);
    m_loadingIndicator->setRange(0, 0);
    m_loadingIndicator->setMaximumWidth(40);
    m_loadingIndicator->setTextVisible(false);
    m_loadingIndicator->hide();
    m_searchField = new QLineEdit(window);
    m_searchField->setPlaceholderText(tr("Find"));
    m_searchField->setClearButtonEnabled(true);
    m_searchField->setMaximumWidth(200);
    for (QWidget* item : {static_cast<QWidget*>(m_backButton), static_cast<QWidget*>(m_forwardButton),
                          static_cast<QWidget*>(home), static_cast<QWidget*>(larger), static_cast<QWidget*>(m_smallerButton)})
        bar->addWidget(item);
    bar->addStretch();
    for (QWidget* item : {static_cast<QWidget*>(m_loadingIndicator), static_cast<QWidget*>(print),
                          static_cast<QWidget*>(browser), static_cast<QWidget*>(m_searchField)})
        bar->addWidget(item);

    m_webView = new QTextBrowser(window);
    m_webView->setOpenExternalLinks(true);
    auto* layout = new QVBoxLayout(window);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addLayout(bar);
    layout->addWidget(m_webView, 1);

    connect(m_backButton, &QToolButton::clicked, this, [this] { navigationAction(0); });
    connect(m_forwardButton, &QToolButton::clicked, this, [this] { navigationAction(1); });
    connect(home, &QToolButton::clicked, this, [this] { homeAction(); });
    connect(larger, &QToolButton::clicked, this, [this] { textSizeAction(0); });
    connect(m_smallerButton, &QToolButton::clicked, this, [this] { textSizeAction(1); });
    connect(print, &QToolButton::clicked, this, [this] { printAction(); });
    connect(browser, &QToolButton::clicked, this, [this] { openInExternalBrowserAction(); });
    connect(m_searchField, &QLineEdit::returnPressed, this, [this] { searchAction(); });
    connect(m_webView, &QTextBrowser::historyChanged, this, [this] { validateNavigation(); });
    connect(m_webView, &QTextBrowser::sourceChanged, this, [this] { updateTitle(); });
    return window;
}

void VLTMWebViewWindowController::windowDidLoad()
{
    validateNavigation();
    if (!m_url.isEmpty())
        load(m_url);
}

void VLTMWebViewWindowController::setFallbackTitle(const QString& title)
{
    m_fallbackTitle = title;
    if (isWindowLoaded())
        updateTitle();
}

void VLTMWebViewWindowController::openURL(const QUrl& url)
{
    m_url = url;
    const bool loaded = isWindowLoaded();
    showWindow(nullptr);
    if (loaded)
        load(url);
}

void VLTMWebViewWindowController::load(const QUrl& url)
{
    if (url.isEmpty())
        return;
    didStartProvisionalLoad(url);
    const QUrl page = pageURL(url);
    if (page.isLocalFile() && !QFileInfo(page.toLocalFile()).isFile()) {
        didFailLoad(tr("no page at %1").arg(page.toLocalFile()));
        return;
    }
    didCommitLoad(page);
    m_webView->setSource(page);
    didFinishLoad();
}

void VLTMWebViewWindowController::didStartProvisionalLoad(const QUrl& url)
{
    m_loadingIndicator->show();
    ZQLog(QStringLiteral("starting provisional load of %1").arg(url.toString()));
}

void VLTMWebViewWindowController::didCommitLoad(const QUrl& url)
{
    if (m_webBusyCount == 0)
        m_loadingIndicator->show();
    ++m_webBusyCount;
    ZQLog(QStringLiteral("committed load for %1").arg(url.toString()));
}

void VLTMWebViewWindowController::didFinishLoad()
{
    m_webBusyCount = std::max(0, m_webBusyCount - 1);
    m_loadingIndicator->hide();
    updateTitle();
    validateNavigation();
    ZQLog(QStringLiteral("finished loading"));
}

void VLTMWebViewWindowController::didFailLoad(const QString& error)
{
    // Nothing was committed: the indicator stops, the count is untouched.
    m_loadingIndicator->hide();
    ZQLog(QStringLiteral("failed provisional load, error = %1").arg(error));
}

void VLTMWebViewWindowController::updateTitle()
{
    const QString pageTitle = m_webView->documentTitle();
    window()->setWindowTitle(pageTitle.isEmpty() ? m_fallbackTitle : pageTitle);
}

void VLTMWebViewWindowController::validateNavigation()
{
    m_backButton->setEnabled(canGoBack());
    m_forwardButton->setEnabled(canGoForward());
}

bool VLTMWebViewWindowController::canGoBack() const
{
    return m_webView && m_webView->isBackwardAvailable();
}

bool VLTMWebViewWindowController::canGoForward() const
{
    return m_webView && m_webView->isForwardAvailable();
}

void VLTMWebViewWindowController::navigationAction(int segment)
{
    if (segment == 0 && canGoBack())
        m_webView->backward();
    else if (segment == 1 && canGoForward())
        m_webView->forward();
    validateNavigation();
}

void VLTMWebViewWindowController::homeAction(QObject*)
{
    if (!m_homePageURL.isEmpty())
        openURL(m_homePageURL);
}

void VLTMWebViewWindowController::textSizeAction(int segment)
{
    if (segment == 0)
        webView()->zoomIn();
    else if (segment == 1 && canMakeTextSmaller())
        webView()->zoomOut();
    m_smallerButton->setEnabled(canMakeTextSmaller());
}

bool VLTMWebViewWindowController::canMakeTextSmaller()
{
    return webView()->font().pointSizeF() - 1 >= kSmallestTextPointSize;
}

bool VLTMWebViewWindowController::searchAction()
{
    const QString text = searchField()->text();
    if (text.isEmpty())
        return false;
    if (m_webView->find(text))
        return true;
    // Round from the top; the selection stays where it was when the text is nowhere.
    const QTextCursor before = m_webView->textCursor();
    m_webView->moveCursor(QTextCursor::Start);
    if (m_webView->find(text))
        return true;
    m_webView->setTextCursor(before);
    return false;
}

void VLTMWebViewWindowController::openInExternalBrowserAction(QObject*)
{
    // The page shown, which a followed link may have changed.
    const QUrl shown = m_webView ? m_webView->source() : QUrl();
    const QUrl page = shown.isEmpty() ? pageURL(m_url) : shown;
    if (!page.isEmpty())
        VLTMHelpTrampoline::openInWebBrowser(page);
}

void VLTMWebViewWindowController::printAction(QObject*)
{
    QPrinter printer;
    QPrintDialog dialog(&printer, window());
    if (dialog.exec() == QDialog::Accepted)
        webView()->document()->print(&printer);
}
