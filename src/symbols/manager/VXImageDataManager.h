#pragma once

// Image data kept once however many objects show it. Each distinct block of bytes is stored
// under a key made from its content, so two masters of one picture share one copy, in memory
// and in the archive. The symbol manager owns one and the library's registry hands out one for
// the process; whoever reads a registry archive passes the decoded one on.

#include "platform/foundation/ZQObject.h"

#include <QByteArray>
#include <QHash>

class VXImageDataManager : public ZQObject {
    Q_OBJECT

public:
    Q_INVOKABLE VXImageDataManager() = default;

    // The key the data is kept under, stored now when new; empty for empty data.
    QString keyForImageData(const QByteArray& data);
    // The data kept under the key; empty when none is.
    QByteArray imageDataForKey(const QString& key) const { return m_images.value(key); }
    bool containsKey(const QString& key) const { return m_images.contains(key); }
    void removeImageDataForKey(const QString& key) { m_images.remove(key); }
    QStringList allKeys() const { return m_images.keys(); }
    int count() const { return int(m_images.size()); }

    // The key any manager gives these bytes.
    static QString keyForContent(const QByteArray& data);

    // Blocks whose bytes do not match their key, as a damaged file has them, are left out.
    void encodeWithCoder(platform::KeyedArchiver& coder) const override;
    void initWithCoder(platform::KeyedUnarchiver& coder) override;

private:
    QHash<QString, QByteArray> m_images;
};

using VXImageDataManagerPtr = std::shared_ptr<VXImageDataManager>;
