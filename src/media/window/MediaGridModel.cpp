#include "media/window/MediaGridModel.h"

#include "app/StringUtilities.h"
#include "media/folders/ZQFolderInfo.h"
#include "platform/foundation/NotificationCenter.h"

#include <QFileInfo>
#include <QMimeData>
#include <algorithm>
#include <vector>

MediaGridModel::MediaGridModel(const ZQMediaItemBrowser* browser, QObject* parent)
    : QAbstractListModel(parent)
    , m_browser(browser)
{
    platform::NotificationCenter::defaultCenter().addObserver(
        this, kZQImagePathItemImageUpdated, nullptr,
        [this](const platform::Notification& notification) { imageUpdated(notification.object()); });
}

MediaGridModel::~MediaGridModel()
{
    platform::NotificationCenter::defaultCenter().removeObserver(this);
}

void MediaGridModel::loadImages(ZQFolderInfo* folder, const QStringList& fileTypes, const QString& filter)
{
    QHash<QString, ZQImagePathPtr> current;
    for (const ZQImagePathPtr& item : std::as_const(m_items))
        current.insert(item->imageUID(), item);

    const QCollator collator = localisedCaseInsensitiveNumericCollator();
    // Keyed once per item: thousands of files would otherwise make names and compare them anew.
    // Keys ignore the collator's case setting, so they are made of case-folded names.
    struct Entry {
        QCollatorSortKey key;
        ZQImagePathPtr item;
    };
    std::vector<Entry> entries;
    // An empty type list would take every file.
    const QList<ZQURLWithThumb> files =
        folder && !fileTypes.isEmpty() ? folder->fileURLsWithThumbsOfTypes(fileTypes) : QList<ZQURLWithThumb>();
    entries.reserve(files.size());
    for (const ZQURLWithThumb& file : files) {
        ZQImagePathPtr item = current.value(file.url.toLocalFile());
        if (!item)
            item = std::make_shared<ZQImagePath>(file, m_browser);
        const QString name = item->name();
        if (filter.isEmpty() || name.contains(filter, Qt::CaseInsensitive))
            entries.push_back({collator.sortKey(name.toCaseFolded()), std::move(item)});
    }
    std::stable_sort(entries.begin(), entries.end(),
                     [](const Entry& a, const Entry& b) { return a.key.compare(b.key) < 0; });
    QList<ZQImagePathPtr> items;
    items.reserve(qsizetype(entries.size()));
    for (Entry& entry : entries)
        items.append(std::move(entry.item));

    beginResetModel();
    m_items = items;
    m_rows.clear();
    for (int row = 0; row < m_items.size(); ++row)
        m_rows.insert(m_items.at(row).get(), row);
    endResetModel();
}

int MediaGridModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_items.size());
}

QVariant MediaGridModel::data(const QModelIndex& index, int role) const
{
    const ZQImagePathPtr item = itemAt(index.row());
    if (!item || index.parent().isValid())
        return {};
    switch (role) {
    case Qt::DisplayRole:
        return item->imageTitle();
    case Qt::DecorationRole:
        return item->image();
    case SubtitleRole:
        return item->imageSubtitle();
    case Qt::ToolTipRole:
        return item->path();
    default:
        return {};
    }
}

Qt::ItemFlags MediaGridModel::flags(const QModelIndex& index) const
{
    return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsDragEnabled : Qt::NoItemFlags;
}

QStringList MediaGridModel::mimeTypes() const
{
    return {QStringLiteral("text/uri-list")};
}

QMimeData* MediaGridModel::mimeData(const QModelIndexList& indexes) const
{
    QList<QUrl> urls;
    for (const QModelIndex& index : indexes)
        // A file gone since it was listed would reach the drop target as a broken link.
        if (const ZQImagePathPtr item = itemAt(index.row()); item && QFileInfo::exists(item->path()))
            urls.append(item->url());
    if (urls.isEmpty())
        return nullptr;
    auto* data = new QMimeData;
    data->setUrls(urls);
    return data;
}

void MediaGridModel::imageUpdated(QObject* item)
{
    const int row = rowOfItem(qobject_cast<ZQImagePath*>(item));
    if (row >= 0)
        Q_EMIT dataChanged(index(row), index(row), {Qt::DecorationRole});
}
