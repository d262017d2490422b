#include "app/application/VLTMHelpTrampoline.h"

#include "app/services/WindowServices.h"
#include "platform/foundation/BundleFolder.h"
#include "platform/foundation/PropertyList.h"
#include "platform/foundation/UserDefaults.h"
#include "platform/foundation/ZQLog.h"

#include <QDesktopServices>
#include <QFileInfo>

namespace {

const QString kIndexResource = QStringLiteral(":/bundle/VLTMQuorvaneHelpIndex.plist");
const QString kBundleScheme = QStringLiteral("bundle");
const QString kSiteFolder = QStringLiteral("site");

VLTMHelpTrampoline::ExternalBrowser& externalBrowser()
{
    static VLTMHelpTrampoline::ExternalBrowser browser;
    return browser;
}

// A path inside the book: relative, without "." or ".." steps, backslashes or a scheme.
bool staysInBook(const QString& path)
{
    if (path.isEmpty() || path.startsWith(QLatin1Char('/')) || path.contains(QLatin1Char('\\'))
        || path.contains(QLatin1Char(':')) || path.contains(QLatin1Char('#')) || path.contains(QLatin1Char('?')))
        return false;
    const QStringList steps = path.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    return !steps.contains(QStringLiteral("..")) && !steps.contains(QStringLiteral("."));
}

QString stringEntry(const QVariantMap& map, const QString& key)
{
    const QVariant value = map.value(key);
    return value.typeId() == QMetaType::QString ? value.toString() : QString();
}

QStringList stringsEntry(const QVariantMap& map, const QString& key)
{
    QStringList strings;
    for (const QVariant& value : map.value(key).toList())
        if (value.typeId() == QMetaType::QString && !value.toString().isEmpty())
            strings << value.toString();
    return strings;
}

QUrl rootFromIndex(const QString& text)
{
    const QUrl url(text);
    if (text.isEmpty() || !url.isValid() || url.isRelative())
        return {};
    if (url.scheme() != kBundleScheme)
        return url;
    const QString folder = platform::bundleFolderOnDisk(url.path().section(QLatin1Char('/'), 1, 1));
    return folder.isEmpty() ? QUrl() : QUrl::fromLocalFile(folder);
}

QUrl appendingPath(QUrl url, const QString& path)
{
    QString base = url.path();
    if (!base.endsWith(QLatin1Char('/')))
        base += QLatin1Char('/');
    url.setPath(base + path);
    return url;
}

} // namespace

VLTMHelpTrampoline* VLTMHelpTrampoline::sharedHelpTrampoline()
{
    static VLTMHelpTrampoline* const shared = [] {
        const std::optional<QVariant> index = platform::PropertyList::readFile(kIndexResource);
        if (!index)
            ZQLog(QStringLiteral("no help index: help has no pages"));
        return new VLTMHelpTrampoline(index.value_or(QVariant()));
    }();
    return shared;
}

VLTMHelpTrampoline::VLTMHelpTrampoline(const QVariant& index)
{
    if (index.typeId() != QMetaType::QVariantMap)
        return;
    m_index = index.toMap();
    m_rootURL = rootFromIndex(stringEntry(m_index, QStringLiteral("root_url")));
    const QString guide = stringEntry(m_index, QStringLiteral("guide"));
    m_guide = staysInBook(guide) ? guide : QString();
    const QString fallback = stringEntry(m_index, QStringLiteral("help_fallback"));
    m_fallback = staysInBook(fallback) ? fallback : QString();
    indexPages();
}

void VLTMHelpTrampoline::indexPages()
{
    for (const QVariant& entry : m_index.value(QStringLiteral("pages")).toList()) {
        if (entry.typeId() != QMetaType::QVariantMap)
            continue;
        const QVariantMap page = entry.toMap();
        const QString path = stringEntry(page, QStringLiteral("page"));
        if (!staysInBook(path))
            continue;
        // Later entries replace earlier ones of the same key.
        m_pages.insert(path, page);
        for (const QString& anchor : stringsEntry(page, QStringLiteral("anchors")))
            m_anchors.insert(anchor, page);
        for (const QString& alias : stringsEntry(page, QStringLiteral("aliases")))
            m_aliases.insert(alias, page);
    }
}

bool VLTMHelpTrampoline::opensInExternalBrowser()
{
    return platform::UserDefaults::standardUserDefaults()->boolForKey(kVLTMHelpOpensInExternalBrowser);
}

void VLTMHelpTrampoline::setOpensInExternalBrowser(bool flag)
{
    platform::UserDefaults::standardUserDefaults()->setBoolForKey(flag, kVLTMHelpOpensInExternalBrowser);
}

void VLTMHelpTrampoline::setExternalBrowser(ExternalBrowser browser)
{
    externalBrowser() = std::move(browser);
}

QUrl VLTMHelpTrampoline::indexPageURL() const
{
    if (m_rootURL.isEmpty())
        return {};
    return m_guide.isEmpty() ? m_rootURL : appendingPath(m_rootURL, m_guide + QLatin1Char('/'));
}

QUrl VLTMHelpTrampoline::urlInBook(const QString& relativePath) const
{
    const QUrl base = indexPageURL();
    if (base.isEmpty())
        return {};
    const QUrl url = appendingPath(base, relativePath);
    if (url.isLocalFile() && !QFileInfo::exists(url.toLocalFile()))
        ZQLog(QStringLiteral("help page missing: %1").arg(relativePath));
    return url;
}

QString VLTMHelpTrampoline::helpTitle() const
{
    const QString title = stringEntry(m_index, QStringLiteral("help_title"));
    return title.isEmpty() ? tr("Help") : title;
}

QUrl VLTMHelpTrampoline::urlForIdentifier(const QString& identifier) const
{
    QUrl url;
    if (const auto alias = m_aliases.constFind(identifier); alias != m_aliases.constEnd()) {
        url = urlInBook(stringEntry(*alias, QStringLiteral("page")));
    } else if (const auto anchor = m_anchors.constFind(identifier); anchor != m_anchors.constEnd()) {
        url = urlInBook(stringEntry(*anchor, QStringLiteral("page")));
        if (!url.isEmpty())
            url.setFragment(identifier);
    } else if (m_pages.contains(identifier)) {
        url = urlInBook(identifier);
    } else if (!m_fallback.isEmpty()) {
        url = urlInBook(m_fallback);
    }
    ZQLog(QStringLiteral("help requested for '%1', URL=%2").arg(identifier.left(200), url.toString()));
    return url;
}

QUrl VLTMHelpTrampoline::urlForLink(const QString& urlString) const
{
    const QUrl url(urlString);
    if (!url.isRelative())
        return url;
    const QString path = url.path();
    if (!path.startsWith(QLatin1Char('/')) || m_rootURL.isEmpty())
        return {};
    QString inSite = kSiteFolder + path;
    if (inSite.endsWith(QLatin1Char('/')))
        inSite += QStringLiteral("index.html");
    if (!staysInBook(inSite))
        return {};
    return appendingPath(m_rootURL, inSite);
}

void VLTMHelpTrampoline::showHelpForIdentifier(const QString& identifier)
{
    open(urlForIdentifier(identifier), true);
}

void VLTMHelpTrampoline::showHelpForURLString(const QString& urlString)
{
    ZQLog(QStringLiteral("help requested for direct URL '%1'").arg(urlString.left(200)));
    open(urlForLink(urlString), false);
}

void VLTMHelpTrampoline::openInWebBrowser(const QUrl& url)
{
    const ExternalBrowser& browser = externalBrowser();
    if (!(browser ? browser(url) : QDesktopServices::openUrl(url)))
        ZQLog(QStringLiteral("the web browser did not open %1").arg(url.toString()));
}

void VLTMHelpTrampoline::open(const QUrl& url, bool setHome)
{
    if (opensInExternalBrowser()) {
        if (!url.isEmpty())
            openInWebBrowser(url);
        return;
    }
    if (const auto& show = WindowServices::installed().showHelpPage)
        show(url, setHome ? indexPageURL() : QUrl(), helpTitle());
    else
        ZQLog(QStringLiteral("help: %1 (not in this build)").arg(url.toString()));
}
