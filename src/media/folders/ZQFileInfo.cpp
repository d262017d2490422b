#include "media/folders/ZQFileInfo.h"

#include "media/folders/FilePackages.h"

#include <QFileInfo>

std::shared_ptr<ZQFileInfo> ZQFileInfo::makeWithURL(const QUrl& url)
{
    auto leaf = std::make_shared<ZQFileInfo>();
    leaf->initWithURL(url);
    return leaf;
}

void ZQFileInfo::initWithURL(const QUrl& url)
{
    setURL(url);
}

bool ZQFileInfo::isPackage() const
{
    return isFilePackage(QFileInfo(path()));
}
