#include "media/window/MediaGridModel.h"

#include "media/folders/ZQFolderInfo.h"
#include "platform/foundation/NotificationCenter.h"

#include <QCollator>
#include <QFileInfo>
#include <QMimeData>
#include <algorithm>

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

    QList<ZQImagePathPtr> items;
    // An empty type list would take every file.
    const QList<QUrl> urls = folder && !fileTypes.isEmpty() ? folder->fileURLsOfTypes(fileTypes) : QList<QUrl>();
    for (const QUrl& url : urls) {
        ZQImagePathPtr item = current.value(url.toLocalFile());
        if (!item)
            item = std::make_shared<ZQImagePath>(url, m_browser);
        if (filter.isEmpty() || item->name().contains(filter, Qt::CaseInsensitive))
            items.append(item);
    }
    QCollator collator;
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    std::stable_sort(items.begin(), items.end(), [&collator](const ZQImagePathPtr& a, const ZQImagePathPtr& b) {
        return collator.compare(a->name(), b->name()) < 0;
    });

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
