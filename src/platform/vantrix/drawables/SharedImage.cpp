#include "platform/vantrix/drawables/SharedImage.h"

#include "platform/foundation/ZQLog.h"
#include "platform/graphics/ImageLoader.h"

#include <QBuffer>
#include <QHash>
#include <QImageReader>
#include <QMutex>

namespace platform {

namespace {

// The images alive, by their bytes. Never destroyed: images held by static objects may
// outlive any static table.
struct Registry {
    QMutex mutex;
    QHash<QByteArray, std::weak_ptr<const SharedImage>> images;
};

Registry& registry()
{
    static auto* registry = new Registry;
    return *registry;
}

} // namespace

std::shared_ptr<const SharedImage> SharedImage::forData(const QByteArray& data)
{
    Registry& shared = registry();
    {
        const QMutexLocker lock(&shared.mutex);
        if (std::shared_ptr<const SharedImage> found = shared.images.value(data).lock())
            return found;
    }
    // The header is read unlocked: another thread may make the same image meanwhile.
    const std::shared_ptr<const SharedImage> made(new SharedImage(data));
    const QMutexLocker lock(&shared.mutex);
    std::weak_ptr<const SharedImage>& slot = shared.images[made->m_data];
    if (std::shared_ptr<const SharedImage> earlier = slot.lock())
        return earlier;
    slot = made;
    return made;
}

SharedImage::SharedImage(const QByteArray& data) : m_data(data)
{
    QBuffer buffer;
    buffer.setData(m_data);
    m_headerSize = QImageReader(&buffer).size();
}

SharedImage::~SharedImage()
{
    Registry& shared = registry();
    const QMutexLocker lock(&shared.mutex);
    const auto found = shared.images.constFind(m_data);
    if (found != shared.images.cend() && found->expired())
        shared.images.erase(found);
}

QSize SharedImage::pixelSize() const
{
    return m_headerSize.isValid() ? m_headerSize : image().size();
}

QImage SharedImage::image() const
{
    std::call_once(m_decoding, [this] {
        // A small file may claim gigabytes of pixels: its header is believed first.
        if (m_headerSize.isValid() && qint64(m_headerSize.width()) * m_headerSize.height() > kMaximumPixels)
            LogEvent(kFileEvent, QStringLiteral("image of %1 x %2 pixels is too large to show")
                                     .arg(m_headerSize.width())
                                     .arg(m_headerSize.height()));
        else if (!m_data.isEmpty()) {
            QuorvaneError error;
            m_image = ImageLoader::imageWithData(m_data, &error);
            if (m_image.isNull())
                LogEvent(kFileEvent, QStringLiteral("image not shown: %1").arg(error.localizedDescription()));
        }
    });
    return m_image;
}

} // namespace platform
