#pragma once

// The media browser's list of items: the files listed for the folder on display, sorted by
// name with numbers counted (img_2 before img_10) and filtered by name in memory, for a grid
// view. Replacing the files keeps the items of files still listed, so their thumbnails
// survive. Items hand their thumbnails to the grid as they arrive; a drag carries the URLs of
// the files still on disk.

#include "media/items/ZQImagePath.h"

#include <QAbstractListModel>
#include <QCollator>
#include <QHash>
#include <memory>
#include <optional>
#include <vector>

class MediaGridModel : public QAbstractListModel {
    Q_OBJECT

public:
    enum Role {
        SubtitleRole = Qt::UserRole + 1, // "W x H" or empty
    };

    // The browser decides which items are on screen; it must outlive the model.
    explicit MediaGridModel(const ZQMediaItemBrowser* browser, QObject* parent = nullptr);
    ~MediaGridModel() override;

    void setFiles(const QList<ZQURLWithThumb>& files);
    void addFiles(const QList<ZQURLWithThumb>& files);
    // Shows only the files whose names contain `filter` in any case; empty shows them all.
    void setFilter(const QString& filter);
    QString filter() const { return m_filter; }
    int listedCount() const { return int(m_listed.size()); }
    const QList<ZQImagePathPtr>& items() const { return m_items; }
    ZQImagePathPtr itemAt(int row) const { return m_items.value(row); }
    // -1 when the item is not listed.
    int rowOfItem(const ZQImagePath* item) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QStringList mimeTypes() const override;
    QMimeData* mimeData(const QModelIndexList& indexes) const override;
    Qt::DropActions supportedDragActions() const override { return Qt::CopyAction; }

private:
    struct Entry {
        QString foldedName; // case-folded once, so filtering compares plain text
        QCollatorSortKey key; // made once per item: thousands of files would otherwise be keyed per comparison
        ZQImagePathPtr item;
    };
    // Entries for the files, sorted, reusing those found under their paths (item and key).
    std::vector<Entry> entriesFor(const QList<ZQURLWithThumb>& files, const QHash<QString, const Entry*>& reusable) const;
    // Which entries a filter change has to look at: a longer filter can only drop shown ones.
    enum class Scope { Listed, Shown };
    void showFiltered(Scope scope, bool listChanged);
    void imageUpdated(QObject* item);

    const ZQMediaItemBrowser* m_browser;
    QCollator m_collator;
    std::vector<Entry> m_listed; // sorted
    QString m_filter;
    std::vector<qsizetype> m_shown; // indexes into m_listed
    QList<ZQImagePathPtr> m_items; // the shown entries' items
    // Made when first asked for after a change: a keystroke need not index thousands of rows.
    mutable std::optional<QHash<const ZQImagePath*, int>> m_rows;
};
