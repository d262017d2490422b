#pragma once

// Help by identifier ("Index_Grid", "the-layers-tab") or by a link of the maker's site. The
// bundle's index "VLTMQuorvaneHelpIndex.plist" names the help book's root, its guide folder,
// its pages with their anchors and aliases, the fallback page and the window title; an
// identifier resolves as an alias, then an anchor (the URL gets it as fragment), then a page
// path, and anything else shows the fallback page. Pages open in the help window (which the
// windows library installs through WindowServices) or, when the user prefers, in the system's
// web browser.
//
// A root URL with the scheme "bundle" ("bundle:///Help") names a folder of the bundle, read
// from its copy on disk (platform::bundleFolderOnDisk). The maker's site has no host here: a
// link that is a bare path ("/quorvane/tutorials/") opens the book's copy under "site".
// Damaged entries of the index (wrong types, paths leaving the book) are skipped.

#include <QHash>
#include <QObject>
#include <QString>
#include <QUrl>
#include <QVariantMap>
#include <functional>

inline const QString kVLTMHelpOpensInExternalBrowser = QStringLiteral("kVLTMHelpOpensInExternalBrowser");

class VLTMHelpTrampoline : public QObject {
    Q_OBJECT

public:
    // Over the bundle's index, read once.
    static VLTMHelpTrampoline* sharedHelpTrampoline();
    // Over `index` (the index's dictionary; anything else gives no entries and no root).
    explicit VLTMHelpTrampoline(const QVariant& index);

    static bool opensInExternalBrowser();
    static void setOpensInExternalBrowser(bool flag);
    // How the system's browser is asked; tests put a recorder in. Null puts the system's back.
    using ExternalBrowser = std::function<bool(const QUrl& url)>;
    static void setExternalBrowser(ExternalBrowser browser);
    // Hands `url` to the system's web browser (or the one set above); logs when it fails.
    static void openInWebBrowser(const QUrl& url);

    void showHelpForIdentifier(const QString& identifier);
    void showHelpForURLString(const QString& urlString);
    // Empty without a usable root.
    QUrl urlForIdentifier(const QString& identifier) const;
    // What a link of the site opens: a bare path maps into the book, anything else is kept.
    QUrl urlForLink(const QString& urlString) const;

    QUrl rootURL() const { return m_rootURL; }
    // The guide folder (also the home page); empty without a root.
    QUrl indexPageURL() const;
    QString helpTitle() const;
    QVariantMap index() const { return m_index; }

private:
    void indexPages();
    QUrl urlInBook(const QString& relativePath) const;
    void open(const QUrl& url, bool setHome);

    QVariantMap m_index;
    QUrl m_rootURL;
    QString m_guide;
    QString m_fallback;
    QHash<QString, QVariantMap> m_pages;
    QHash<QString, QVariantMap> m_anchors;
    QHash<QString, QVariantMap> m_aliases;
};
