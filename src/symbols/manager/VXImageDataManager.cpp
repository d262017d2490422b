#include "symbols/manager/VXImageDataManager.h"

#include "platform/foundation/KeyedArchiver.h"
#include "platform/foundation/KeyedUnarchiver.h"
#include "platform/foundation/ZQLog.h"
#include "platform/vantrix/model/ArchiveReader.h"

#include <QCryptographicHash>

namespace {

const QString kImagesKey = QStringLiteral("VXImageDataManager_images");

} // namespace

QString VXImageDataManager::keyForContent(const QByteArray& data)
{
    return QString::fromLatin1(QCryptographicHash::hash(data, QCryptographicHash::Sha256).toHex());
}

QString VXImageDataManager::keyForImageData(const QByteArray& data)
{
    if (data.isEmpty())
        return {};
    const QString key = keyForContent(data);
    if (!m_images.contains(key))
        m_images.insert(key, data);
    return key;
}

void VXImageDataManager::encodeWithCoder(platform::KeyedArchiver& coder) const
{
    QVariantMap images;
    for (auto image = m_images.cbegin(); image != m_images.cend(); ++image)
        images.insert(image.key(), image.value());
    coder.encodeObject(QVariant(images), kImagesKey);
}

void VXImageDataManager::initWithCoder(platform::KeyedUnarchiver& coder)
{
    m_images.clear();
    const QVariantMap images = platform::ArchiveReader(coder).dictionary(kImagesKey);
    int damaged = 0;
    for (auto image = images.cbegin(); image != images.cend(); ++image) {
        const QByteArray data = image.value().toByteArray();
        if (data.isEmpty() || keyForContent(data) != image.key()) {
            ++damaged;
            continue;
        }
        m_images.insert(image.key(), data);
    }
    if (damaged > 0)
        LogEvent(kFileEvent, QStringLiteral("image data manager: %1 damaged image(s) left out").arg(damaged));
}
