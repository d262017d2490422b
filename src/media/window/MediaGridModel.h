#pragma once

// The media browser's list of items: the image and SVG files of the folder on display,
// filtered by name and sorted, for a grid view. Rebuilding keeps the items of files still
// listed, so their thumbnails survive. Items hand their thumbnails to the grid as they
// arrive; a drag carries the URLs of the files still on disk.

#include "media/items/ZQImagePath.h"

#include <QAbstractListModel>
#include <QHash>
#include <memory>

class ZQFolderInfo;

class MediaGridModel : public QAbstractListModel {
    Q_OBJECT

public:
    enum Role {
        SubtitleRole = Qt::UserRole + 1, // "W x H" or empty
    };

    // The browser decides which items are on screen; it must outlive the model.
    explicit MediaGridModel(const ZQMediaItemBrowser* browser, QObject* parent = nullptr);
    ~MediaGridModel() override;

    // The folder's files of `fileTypes` (none for no folder) whose names contain `filter` in
    // any case, sorted by name with numbers counted (img_2 before img_10).
    void loadImages(ZQFolderInfo* folder, const QStringList& fileTypes, const QString& filter);
    const QList<ZQImagePathPtr>& items() const { return m_items; }
    ZQImagePathPtr itemAt(int row) const { return m_items.value(row); }
    // -1 when the item is not listed.
    int rowOfItem(const ZQImagePath* item) const { return m_rows.value(item, -1); }

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QStringList mimeTypes() const override;
    QMimeData* mimeData(const QModelIndexList& indexes) const override;
    Qt::DropActions supportedDragActions() const override { return Qt::CopyAction; }

private:
    void imageUpdated(QObject* item);

    const ZQMediaItemBrowser* m_browser;
    QList<ZQImagePathPtr> m_items;
    QHash<const ZQImagePath*, int> m_rows;
};
