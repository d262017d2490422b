#pragma once

// What an item of a symbol library holds (a symbol master, later styles): an object with a
// name, a description, an icon, a lock, a key it is stored under for life and a file form.
// Each adopting class also offers a static libraryObjectWithFileData(const QByteArray&) that
// reads back what fileData() wrote.

#include <QByteArray>
#include <QImage>
#include <QSizeF>
#include <QString>
#include <memory>

class ZQObject;
namespace platform {
class Pasteboard;
}

class VXQLibraryObjectProtocol {
public:
    virtual ~VXQLibraryObjectProtocol() = default;

    // An independent copy, with a key of its own.
    virtual std::shared_ptr<ZQObject> clone() const = 0;
    // The object's icon.
    virtual QImage image() = 0;
    virtual QString name() const = 0;
    virtual void setName(const QString& name) = 0;
    virtual QString userDescription() const = 0;
    virtual void setUserDescription(const QString& description) = 0;
    virtual QString uniqueKey() const = 0;
    virtual bool locked() const = 0;
    virtual void setLocked(bool locked) = 0;
    // Seconds since 1 January 2001 (UTC) of the last change.
    virtual double lastModificationTimestamp() const = 0;
    virtual QByteArray fileData() const = 0;

    // Optional: by default the icon, and nothing written.
    virtual QImage imageToFitSize(QSizeF size) { return imageToFitSizeAllowScaleUp(size, false); }
    virtual QImage imageToFitSizeAllowScaleUp(QSizeF size, bool allowScaleUp);
    // The icon as imageToFitSizeAllowScaleUp(size, true) lays it out, with `pixelRatio` pixels
    // to each unit (its device pixel ratio), for printers; by default the icon as it is.
    virtual QImage imageToFitSizeWithPixelRatio(QSizeF size, qreal pixelRatio);
    virtual void copyToPasteboard(platform::Pasteboard& pasteboard) const;
};

inline QImage VXQLibraryObjectProtocol::imageToFitSizeAllowScaleUp(QSizeF, bool)
{
    return image();
}

inline QImage VXQLibraryObjectProtocol::imageToFitSizeWithPixelRatio(QSizeF size, qreal)
{
    return imageToFitSizeAllowScaleUp(size, true);
}

inline void VXQLibraryObjectProtocol::copyToPasteboard(platform::Pasteboard&) const {}
