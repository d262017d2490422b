#include "windows/templates/QVNTemplateItem.h"

#include "app/document/MapDocumentPackage.h"
#include "media/items/ZQAsynchronousImageLoader.h"
#include "platform/foundation/NumericVariant.h"
#include "platform/foundation/PropertyList.h"
#include "platform/foundation/RegularFile.h"
#include "platform/foundation/RunLoop.h"
#include "platform/foundation/ZQLog.h"
#include "platform/measurement/ZQUnitLength.h"
#include "platform/vantrix/model/VXDrawing.h"

#include <QBuffer>
#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QImageReader>
#include <QThreadPool>
#include <algorithm>
#include <cmath>

namespace {

// Far past any real template: readers refuse anything larger instead of reading it whole.
constexpr qint64 kMaximumInfoFileSize = 1 << 20;
constexpr qint64 kMaximumAuxiliaryFileSize = 16 << 20;
constexpr qint64 kMaximumThumbnailFileSize = 32 << 20;
// A side longer than this in any unit is no drawing but a damaged file.
constexpr double kLargestPlausibleSide = 1e7;

QHash<QString, QVNTemplateItemPtr>& cache()
{
    static QHash<QString, QVNTemplateItemPtr> items;
    return items;
}

QString memberPath(const QString& packagePath, const QString& member)
{
    return QDir(packagePath).filePath(member);
}

std::optional<QByteArray> readMember(const QString& packagePath, const QString& member, qint64 maximumSize)
{
    return platform::readRegularFile(memberPath(packagePath, member), maximumSize, nullptr,
                                     platform::SymbolicLinks::Refuse);
}

std::optional<double> plausibleSide(const QVariant& value)
{
    if (!platform::isNumericVariant(value))
        return std::nullopt;
    const double side = value.toDouble();
    if (!std::isfinite(side) || side <= 0 || side > kLargestPlausibleSide)
        return std::nullopt;
    return side;
}

} // namespace

QVNTemplateItemPtr QVNTemplateItem::makeWithURL(const QUrl& url)
{
    auto item = std::make_shared<QVNTemplateItem>();
    item->m_url = url;
    item->m_name = QFileInfo(url.toLocalFile()).completeBaseName();
    return item;
}

QVNTemplateItemPtr QVNTemplateItem::makeWithFile(const QString& path)
{
    return makeWithURL(QUrl::fromLocalFile(path));
}

// --- Thumbnail ---------------------------------------------------------------------------------

QImage QVNTemplateItem::image()
{
    if (m_image.isNull() && !m_fetchingImage && !m_imageFetchFailed)
        startFetchingImage();
    return m_image;
}

void QVNTemplateItem::setImage(const QImage& image)
{
    if (image.cacheKey() == m_image.cacheKey() || (image.isNull() && m_image.isNull()))
        return;
    m_image = image;
    Q_EMIT imageChanged();
}

void QVNTemplateItem::startFetchingImage()
{
    m_fetchingImage = true;
    const QString path = this->path();
    const std::weak_ptr<QVNTemplateItem> weakItem = std::static_pointer_cast<QVNTemplateItem>(shared_from_this());
    ZQAsynchronousImageLoader::imageLoaderQueue().start([path, weakItem] {
        ZQLog(QStringLiteral("creating image thumbnail for: %1").arg(path));
        const QImage thumbnail = thumbnailOfTemplateAtPath(path);
        if (thumbnail.isNull())
            ZQLog(QStringLiteral("unable to create thumbnail for '%1'").arg(path));
        platform::RunLoop::runOnMainThread([weakItem, thumbnail] {
            if (const QVNTemplateItemPtr item = weakItem.lock())
                item->fetchDidEnd(thumbnail);
        });
    });
}

void QVNTemplateItem::fetchDidEnd(const QImage& image)
{
    m_fetchingImage = false;
    m_imageFetchFailed = image.isNull();
    setImage(image);
}

QImage QVNTemplateItem::thumbnailOfTemplateAtPath(const QString& path, int maximumSide)
{
    const QString thumbnailMember =
        MapDocumentPackage::kQuickLookFolderName + QLatin1Char('/') + MapDocumentPackage::kThumbnailFileName;
    std::optional<QByteArray> data = readMember(path, thumbnailMember, kMaximumThumbnailFileSize);
    if (!data || data->isEmpty())
        return {};
    QBuffer buffer(&*data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "jpeg");
    reader.setDecideFormatFromContent(false);
    const QSize size = reader.size();
    if (!size.isValid() || size.isEmpty())
        return {};
    // Decoded straight to the thumbnail's size: a vast picture never lands in memory whole.
    if (size.width() > maximumSide || size.height() > maximumSide)
        reader.setScaledSize(size.scaled(maximumSide, maximumSide, Qt::KeepAspectRatio).expandedTo(QSize(1, 1)));
    return reader.read();
}

// --- Size text and scale -------------------------------------------------------------------------

std::optional<QString> QVNTemplateItem::dimensionsTextFromInfo(const QVariantMap& info)
{
    const std::optional<double> width = plausibleSide(info.value(MapDocumentPackage::kInfoWidthKey));
    const std::optional<double> height = plausibleSide(info.value(MapDocumentPackage::kInfoHeightKey));
    if (!width || !height)
        return std::nullopt;
    const QVariant unitName = info.value(MapDocumentPackage::kInfoUnitsKey);
    const ZQUnitLengthPtr unit = unitName.typeId() == QMetaType::QString
                                     ? VXDrawing::unitsForLegacyUnitName(unitName.toString().toLower())
                                     : nullptr;
    const QString symbol = unit ? unit->symbol() : QString();
    return QStringLiteral("%1 x %2 %3")
        .arg(*width, 0, 'f', 1)
        .arg(*height, 0, 'f', 1)
        .arg(symbol)
        .trimmed();
}

QString QVNTemplateItem::dimensionsAndScaleInfo()
{
    if (m_info)
        return *m_info;
    const std::optional<QByteArray> data = readMember(path(), MapDocumentPackage::kInfoFileName, kMaximumInfoFileSize);
    const std::optional<QVariant> plist = data ? platform::PropertyList::fromData(*data) : std::nullopt;
    if (!plist || plist->typeId() != QMetaType::QVariantMap)
        return {};
    ZQLog(QStringLiteral("meta info: %1").arg(name()));
    m_info = dimensionsTextFromInfo(plist->toMap()).value_or(QString());
    return *m_info;
}

VXQMapScalePtr QVNTemplateItem::scale()
{
    if (m_scale)
        return *m_scale;
    const std::optional<QByteArray> data =
        readMember(path(), MapDocumentPackage::kAuxiliaryFileName, kMaximumAuxiliaryFileSize);
    if (!data)
        return nullptr;
    m_scale = MapDocumentPackage::mapScaleInAuxiliaryArchive(*data);
    return *m_scale;
}

// --- Cache ---------------------------------------------------------------------------------------

void QVNTemplateItem::cacheObject(const QVNTemplateItemPtr& item)
{
    if (item)
        cache().insert(item->path(), item);
}

void QVNTemplateItem::invalidateCache()
{
    cache().clear();
}

QVNTemplateItemPtr QVNTemplateItem::cachedObjectForPath(const QString& path)
{
    return cache().value(path);
}

QVNTemplateItemPtr QVNTemplateItem::cachedObjectForURL(const QUrl& url)
{
    return cachedObjectForPath(url.toLocalFile());
}

QList<QVNTemplateItemPtr> QVNTemplateItem::templateItemsWithURLs(const QList<QUrl>& urls)
{
    QList<QVNTemplateItemPtr> items;
    items.reserve(urls.size());
    for (const QUrl& url : urls) {
        QVNTemplateItemPtr item = cachedObjectForURL(url);
        if (!item) {
            item = makeWithURL(url);
            cacheObject(item);
        }
        items.append(item);
    }
    // Plain code-unit order, as stored names are compared elsewhere: "Zeta" before "alpha".
    std::stable_sort(items.begin(), items.end(),
                     [](const QVNTemplateItemPtr& a, const QVNTemplateItemPtr& b) { return a->name() < b->name(); });
    return items;
}

QList<QVNTemplateItemPtr> QVNTemplateItem::templateItemsFromArray(const QStringList& paths)
{
    QList<QUrl> urls;
    urls.reserve(paths.size());
    for (const QString& path : paths)
        urls.append(QUrl::fromLocalFile(path));
    return templateItemsWithURLs(urls);
}

QList<QVNTemplateItemPtr>
QVNTemplateItem::templateItemsWithURLsReplacingTemplateItemsFilteredByString(const QList<QUrl>& urls,
                                                                             const QList<QVNTemplateItemPtr>& replaced,
                                                                             const QString& filter)
{
    QHash<QString, QVNTemplateItemPtr> replacements;
    replacements.reserve(replaced.size());
    for (const QVNTemplateItemPtr& old : replaced)
        replacements.insert(old->path(), old);
    QList<QVNTemplateItemPtr> result;
    for (const QVNTemplateItemPtr& item : templateItemsWithURLs(urls)) {
        if (!filter.isEmpty() && !item->name().contains(filter, Qt::CaseInsensitive))
            continue;
        result.append(replacements.value(item->path(), item));
    }
    return result;
}

QString QVNTemplateItem::description() const
{
    return QStringLiteral("<QVNTemplateItem> %1").arg(path());
}
