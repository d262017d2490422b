#include "app/document/ZQTitleProxy.h"

std::shared_ptr<ZQTitleProxy> ZQTitleProxy::titleProxyWithString(const QString& title)
{
    auto proxy = std::make_shared<ZQTitleProxy>();
    proxy->setTitle(title);
    return proxy;
}
