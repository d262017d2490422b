#include "media/window/MediaGridModel.h"

#include "app/utilities/StringUtilities.h"
#include "platform/foundation/NotificationCenter.h"

#include <QFileInfo>
#include <QMimeData>
#include <QStringMatcher>
#include <algorithm>
#include <vector>

MediaGridModel::MediaGridModel(const ZQMediaItemBrowser* browser, QObject* parent)
    : QAbstractListModel(parent)
    , m_browser(browser)
    , m_collator(localisedCaseInsensitiveNumericCollator())
{
    platform::NotificationCenter::defaultCenter().addObserver(
        this, kZQImagePathItemImageUpdated, nullptr,
        [this](const platform::Notification& notification) { imageUpdated(notification.object()); });
}

MediaGridModel::~MediaGridModel()
{
    platform::NotificationCenter::defaultCenter().removeObserver(this);
}

void MediaGridModel::setFiles(const QList<ZQURLWithThumb>& files)
{
    QHash<QString, const Entry*> current;
    current.reserve(qsizetype(m_listed.size()));
    for (const Entry& entry : m_listed)
        current.insert(entry.item->imageUID(), &entry);
    m_listed = entriesFor(files, current);
    showFiltered(Scope::Listed, true);
}

void MediaGridModel::addFiles(const QList<ZQURLWithThumb>& files)
{
    std::vector<Entry> added = entriesFor(files, {});
    const auto middle = qsizetype(m_listed.size());
    m_listed.insert(m_listed.end(), std::make_move_iterator(added.begin()), std::make_move_iterator(added.end()));
    std::inplace_merge(m_listed.begin(), m_listed.begin() + middle, m_listed.end(),
                       [](const Entry& a, const Entry& b) { return a.key.compare(b.key) < 0; });
    showFiltered(Scope::Listed, true);
}

void MediaGridModel::setFilter(const QString& filter)
{
    if (filter == m_filter)
        return;
    const bool narrows = filter.toCaseFolded().contains(m_filter.toCaseFolded());
    m_filter = filter;
    showFiltered(narrows ? Scope::Shown : Scope::Listed, false);
}

std::vector<MediaGridModel::Entry> MediaGridModel::entriesFor(const QList<ZQURLWithThumb>& files,
                                                              const QHash<QString, const Entry*>& reusable) const
{
    std::vector<Entry> entries;
    entries.reserve(files.size());
    for (const ZQURLWithThumb& file : files) {
        const Entry* listed = reusable.value(file.url.toLocalFile());
        ZQImagePathPtr item = listed ? listed->item : std::make_shared<ZQImagePath>(file, m_browser);
        QString folded = item->name().toCaseFolded();
        // A relisting of thousands of files would otherwise key every name again.
        if (listed && listed->foldedName == folded) {
            entries.push_back(*listed);
            continue;
        }
        // Keys ignore the collator's case setting, so they are made of case-folded names.
        QCollatorSortKey key = m_collator.sortKey(folded);
        entries.push_back({std::move(folded), std::move(key), std::move(item)});
    }
    std::stable_sort(entries.begin(), entries.end(),
                     [](const Entry& a, const Entry& b) { return a.key.compare(b.key) < 0; });
    return entries;
}

void MediaGridModel::showFiltered(Scope scope, bool listChanged)
{
    // Built once for the thousands of names a keystroke looks through.
    const QStringMatcher filter(m_filter.toCaseFolded());
    std::vector<qsizetype> shown;
    const auto consider = [&](qsizetype index) {
        if (filter.indexIn(m_listed[size_t(index)].foldedName) >= 0)
            shown.push_back(index);
    };
    if (scope == Scope::Shown) {
        for (const qsizetype index : m_shown)
            consider(index);
    } else {
        shown.reserve(m_listed.size());
        for (qsizetype index = 0; index < qsizetype(m_listed.size()); ++index)
            consider(index);
    }
    // A keystroke that keeps the same items shown leaves the grid as it is, laid out.
    if (!listChanged && shown == m_shown)
        return;
    beginResetModel();
    m_shown = std::move(shown);
    m_items.clear();
    m_items.reserve(qsizetype(m_shown.size()));
    for (const qsizetype index : m_shown)
        m_items.append(m_listed[size_t(index)].item);
    m_rows.reset();
    endResetModel();
}

int MediaGridModel::rowOfItem(const ZQImagePath* item) const
{
    if (!m_rows) {
        m_rows.emplace();
        m_rows->reserve(m_items.size());
        for (int row = 0; row < m_items.size(); ++row)
            m_rows->insert(m_items.at(row).get(), row);
    }
    return m_rows->value(item, -1);
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
