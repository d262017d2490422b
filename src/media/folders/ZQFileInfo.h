#pragma once

// A file leaf of a folder tree: a file, or a package while packages are not folders. It has
// no children and is not watched.

#include "media/folders/ZQFolderInfo.h"

class ZQFileInfo : public ZQFolderInfo {
    Q_OBJECT

public:
    static std::shared_ptr<ZQFileInfo> makeWithURL(const QUrl& url);

    void initWithURL(const QUrl& url) override;
    bool isPackage() const;
    QList<ZQFolderInfoPtr> subFolders() override { return {}; }
};
