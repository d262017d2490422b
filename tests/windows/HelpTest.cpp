// Help identifiers resolved through an index (alias, anchor, page, fallback), damaged indexes
// and hostile identifiers, the shipped help book, and the help window's loading, history and
// find.

#include "support/LogCapture.h"
#include "app/application/VLTMHelpTrampoline.h"
#include "app/services/WindowServices.h"
#include "platform/foundation/UserDefaults.h"
#include "windows/help/VLTMWebViewWindowController.h"

#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTextBrowser>
#include <gtest/gtest.h>

namespace {

QVariantMap page(const QString& path, const QStringList& anchors = {}, const QStringList& aliases = {})
{
    return {{QStringLiteral("page"), path}, {QStringLiteral("anchors"), anchors}, {QStringLiteral("aliases"), aliases}};
}

QVariantMap indexAt(const QUrl& root, const QVariantList& pages)
{
    return {{QStringLiteral("root_url"), root.toString()}, {QStringLiteral("guide"), QStringLiteral("guide")},
            {QStringLiteral("help_fallback"), QStringLiteral("missing.html")}, {QStringLiteral("pages"), pages}};
}

// Resets the browser choice and the system browser on any exit.
class BrowserScope {
public:
    explicit BrowserScope(QList<QUrl>* opened)
    {
        VLTMHelpTrampoline::setExternalBrowser([opened](const QUrl& url) {
            opened->append(url);
            return true;
        });
    }
    ~BrowserScope()
    {
        VLTMHelpTrampoline::setOpensInExternalBrowser(false);
        VLTMHelpTrampoline::setExternalBrowser(nullptr);
    }
};

QString guidePath(const QUrl& url)
{
    return url.path().section(QStringLiteral("/guide/"), 1);
}

} // namespace

TEST(HelpTrampolineTest, ResolvesAliasThenAnchorThenPageThenFallback)
{
    const QUrl root(QStringLiteral("file:///book"));
    const VLTMHelpTrampoline help(indexAt(root, {
        page(QStringLiteral("layers.html"), {QStringLiteral("slices-layer"), QStringLiteral("both")}, {QStringLiteral("layers"), QStringLiteral("both")}),
        page(QStringLiteral("later.html"), {QStringLiteral("slices-layer")}),
        page(QStringLiteral("sub/page.html")),
    }));
    const testsupport::LogCapture log;

    EXPECT_EQ(help.urlForIdentifier(QStringLiteral("layers")), QUrl(QStringLiteral("file:///book/guide/layers.html")));
    // An alias wins over an anchor of the same name, and adds no fragment.
    EXPECT_EQ(help.urlForIdentifier(QStringLiteral("both")).fragment(), QString());
    // A later entry's anchor replaces the earlier one.
    EXPECT_EQ(help.urlForIdentifier(QStringLiteral("slices-layer")),
              QUrl(QStringLiteral("file:///book/guide/later.html#slices-layer")));
    EXPECT_EQ(help.urlForIdentifier(QStringLiteral("sub/page.html")), QUrl(QStringLiteral("file:///book/guide/sub/page.html")));
    EXPECT_EQ(guidePath(help.urlForIdentifier(QStringLiteral("no-such-thing"))), QStringLiteral("missing.html"));
    EXPECT_TRUE(log.contains(QStringLiteral("help requested for 'layers', URL=file:///book/guide/layers.html")));
    EXPECT_EQ(help.indexPageURL(), QUrl(QStringLiteral("file:///book/guide/")));
    EXPECT_EQ(help.helpTitle(), QStringLiteral("Help"));
}

TEST(HelpTrampolineTest, DamagedIndexesAndHostileIdentifiersStayInTheBook)
{
    // No index: no URL, no title of its own, no crash.
    const VLTMHelpTrampoline none{QVariant()};
    EXPECT_TRUE(none.urlForIdentifier(QStringLiteral("export")).isEmpty());
    EXPECT_EQ(none.helpTitle(), QStringLiteral("Help"));
    for (const QVariant& root : {QVariant(QString()), QVariant(QStringLiteral("relative/help")), QVariant(42)}) {
        QVariantMap index = indexAt(QUrl(), {page(QStringLiteral("a.html"))});
        index.insert(QStringLiteral("root_url"), root);
        EXPECT_TRUE(VLTMHelpTrampoline(index).urlForIdentifier(QStringLiteral("a.html")).isEmpty()) << root.toString().toStdString();
    }

    // Wrong-typed entries and pages that leave the book are skipped.
    QVariantMap index = indexAt(QUrl(QStringLiteral("file:///book")), {
        QStringLiteral("not a page"),
        QVariantMap{{QStringLiteral("page"), 7}},
        page(QStringLiteral("../../etc/passwd"), {}, {QStringLiteral("escape")}),
        page(QStringLiteral("/etc/passwd"), {}, {QStringLiteral("absolute")}),
        page(QStringLiteral("ok.html"), {}, {QStringLiteral("fine")}),
        QVariantMap{{QStringLiteral("page"), QStringLiteral("typed.html")}, {QStringLiteral("anchors"), QStringLiteral("x")},
                    {QStringLiteral("aliases"), QVariantList{3, QStringLiteral("typed")}}},
    });
    index.insert(QStringLiteral("help_title"), 12);
    const VLTMHelpTrampoline help(index);
    EXPECT_EQ(guidePath(help.urlForIdentifier(QStringLiteral("fine"))), QStringLiteral("ok.html"));
    EXPECT_EQ(guidePath(help.urlForIdentifier(QStringLiteral("typed"))), QStringLiteral("typed.html"));
    EXPECT_EQ(help.helpTitle(), QStringLiteral("Help"));
    const QString hostile[] = {QStringLiteral("escape"), QStringLiteral("absolute"), QStringLiteral("../../etc/passwd"),
                               QStringLiteral("a#b"), QStringLiteral("x/../../y"), QStringLiteral("two words"),
                               QString(10000, QLatin1Char('z'))};
    for (const QString& identifier : hostile) {
        const QUrl url = help.urlForIdentifier(identifier);
        EXPECT_EQ(url, QUrl(QStringLiteral("file:///book/guide/missing.html"))) << identifier.left(40).toStdString();
    }

    // Site links: bare paths map under "site", never above the root.
    EXPECT_EQ(help.urlForLink(QStringLiteral("/quorvane/tutorials/")),
              QUrl(QStringLiteral("file:///book/site/quorvane/tutorials/index.html")));
    EXPECT_TRUE(help.urlForLink(QStringLiteral("/../../etc/")).isEmpty());
    EXPECT_TRUE(help.urlForLink(QStringLiteral("relative")).isEmpty());
    EXPECT_EQ(help.urlForLink(QStringLiteral("https://example.org/a")), QUrl(QStringLiteral("https://example.org/a")));
}

TEST(HelpTrampolineTest, ShippedBookHasEveryIdentifierTheApplicationAsksFor)
{
    const VLTMHelpTrampoline* help = VLTMHelpTrampoline::sharedHelpTrampoline();
    ASSERT_TRUE(help->rootURL().isLocalFile());
    EXPECT_EQ(help->helpTitle(), QStringLiteral("Quorvane Help"));
    const QStringList identifiers = {
        "the-layers-tab", "the-styles-tab", "the-text-tab", "the-geometry-tab", "export", "graph-paper",
        "Setting_Up_a_New_Drawing", "arc", "line", "star", "round-corner-rect", "slices-layer", "Repositioning_Mode",
        "Index_Grid", "The_Library_Manager", "align-and-distribute-objects", "arrange-duplicate-and-convert-objects",
        "combine-and-clip-shapes", "Attributes_Editor", "edit-images", "border-layer", "contours-layer",
        "import-shapefile", "style-components", "stroke", "arrow", "rough-stroke", "zig-zag-stroke", "tapered-stroke",
        "tagged-stroke", "color-fill", "gradient-fill", "pattern-fill", "hatch-fill", "image-fill", "zig-zag-fill",
        "path-decorator", "repeater", "gloom", "blur", "label-template", "bridge-adornment", "tunnel-adornment",
        "cutting-embankment-adornment", "Quorvane Help", "Preferences"};
    for (const QString& identifier : identifiers) {
        const QUrl url = help->urlForIdentifier(identifier);
        QFile file(url.toLocalFile());
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << identifier.toStdString();
        EXPECT_NE(guidePath(url), QStringLiteral("not-found.html")) << identifier.toStdString();
        if (!url.fragment().isEmpty()) {
            EXPECT_TRUE(file.readAll().contains(QStringLiteral("name=\"%1\"").arg(url.fragment()).toUtf8()))
                << identifier.toStdString();
        }
    }
    for (const char* link : {"/quorvane/get-started/", "/quorvane/tutorials/", "/forums/forum/quorvane/", "/quorvane/guides/"})
        EXPECT_TRUE(QFile::exists(help->urlForLink(QString::fromLatin1(link)).toLocalFile())) << link;
}

TEST(HelpWindowTest, OpensAtAnchorGoesBackFindsAndFailsQuietly)
{
    QList<QUrl> opened;
    const BrowserScope browser(&opened);
    VLTMHelpTrampoline* help = VLTMHelpTrampoline::sharedHelpTrampoline();
    VLTMWebViewWindowController* window = VLTMWebViewWindowController::sharedWebWindowController();

    help->showHelpForIdentifier(QStringLiteral("slices-layer"));
    EXPECT_TRUE(window->window()->isVisible());
    EXPECT_EQ(window->webView()->source().fragment(), QStringLiteral("slices-layer"));
    EXPECT_EQ(window->window()->windowTitle(), QStringLiteral("Layers"));
    EXPECT_EQ(window->homePageURL(), help->indexPageURL());
    EXPECT_EQ(window->webBusyCount(), 0);
    EXPECT_FALSE(window->canGoForward());

    help->showHelpForIdentifier(QStringLiteral("export"));
    EXPECT_TRUE(window->webView()->source().path().endsWith(QStringLiteral("/export.html")));
    ASSERT_TRUE(window->canGoBack());
    window->navigationAction(0);
    EXPECT_TRUE(window->webView()->source().path().endsWith(QStringLiteral("/layers.html")));
    EXPECT_TRUE(window->canGoForward());
    window->homeAction();
    EXPECT_TRUE(window->webView()->source().path().endsWith(QStringLiteral("/guide/index.html")));

    // Find goes forward and wraps round; an empty field finds nothing.
    help->showHelpForIdentifier(QStringLiteral("export"));
    window->searchField()->setText(QStringLiteral("EXPORT WRITES"));
    EXPECT_TRUE(window->searchAction());
    const int first = window->webView()->textCursor().position();
    EXPECT_TRUE(window->searchAction());
    EXPECT_EQ(window->webView()->textCursor().position(), first);
    window->searchField()->setText(QStringLiteral("no such words anywhere"));
    EXPECT_FALSE(window->searchAction());
    EXPECT_EQ(window->webView()->textCursor().position(), first);
    window->searchField()->clear();
    EXPECT_FALSE(window->searchAction());

    // A page that is not there: logged, nothing counted as loading.
    const testsupport::LogCapture log;
    window->openURL(QUrl::fromLocalFile(QDir::temp().filePath(QStringLiteral("no-such-help.html"))));
    EXPECT_TRUE(log.contains(QStringLiteral("failed provisional load")));
    EXPECT_EQ(window->webBusyCount(), 0);

    // With the browser preferred, the page goes there and the window is left alone.
    window->close();
    VLTMHelpTrampoline::setOpensInExternalBrowser(true);
    help->showHelpForIdentifier(QStringLiteral("Index_Grid"));
    ASSERT_EQ(opened.size(), 1);
    EXPECT_EQ(opened.first().fragment(), QStringLiteral("Index_Grid"));
    EXPECT_FALSE(window->window()->isVisible());
}

TEST(HelpWindowTest, SmallerTextStopsAtAReadableSize)
{
    VLTMWebViewWindowController* window = VLTMWebViewWindowController::sharedWebWindowController();
    const QFont original = window->webView()->font();
    for (int press = 0; press < 40; ++press)
        window->textSizeAction(1);
    const qreal smallest = window->webView()->font().pointSizeF();
    EXPECT_GE(smallest, 8);
    EXPECT_LT(smallest, 9);
    EXPECT_FALSE(window->canMakeTextSmaller());
    window->textSizeAction(0);
    EXPECT_EQ(window->webView()->font().pointSizeF(), smallest + 1);
    EXPECT_TRUE(window->canMakeTextSmaller());
    window->webView()->setFont(original);
}
