#pragma once

// The bytes of an image and the pixels decoded from them, shared by everyone who holds the
// same bytes: however many image shapes show one picture, it is decoded once, on first use,
// and freed with its last holder. Safe to use from any thread.

#include <QByteArray>
#include <QImage>
#include <QSize>

#include <memory>
#include <mutex>

namespace platform {

class SharedImage {
public:
    // Images larger than this many pixels are not decoded.
    static constexpr qint64 kMaximumPixels = qint64(1) << 26;

    // The one shared image of these bytes.
    static std::shared_ptr<const SharedImage> forData(const QByteArray& data);
    ~SharedImage();
    SharedImage(const SharedImage&) = delete;
    SharedImage& operator=(const SharedImage&) = delete;

    const QByteArray& data() const { return m_data; }
    // The width and height the image decodes to, from its header where it tells them;
    // empty when the bytes are no image.
    QSize pixelSize() const;
    // Null when the bytes are no image or it has more than kMaximumPixels.
    QImage image() const;

private:
    explicit SharedImage(const QByteArray& data);

    QByteArray m_data;
    QSize m_headerSize;
    mutable std::once_flag m_decoding;
    mutable QImage m_image;
};

} // namespace platform
