#pragma once

// What a shapefile reader asks of the object that imports with it (the map document).
// Mixed into a QObject class; the reader holds it weakly.

#include <QRectF>
#include <QTransform>
#include <QVariantMap>
#include <memory>
#include <optional>

class ZQESRIFile;
class ZQObject;

class ZQESRIFileDelegate {
public:
    virtual ~ZQESRIFileDelegate() = default;

    // The drawing area the data is fitted into and tested against.
    virtual QRectF esriFileWantsDocumentRect(ZQESRIFile* file) = 0;
    // A transform kept from an earlier import, so later imports line up; nullopt for none.
    virtual std::optional<QTransform> esriFileWantsShapefileTransform(ZQESRIFile* file) = 0;
    // On the parsing thread, once the parse has ended and createdObjects is set: work on
    // the objects that the main thread then need not wait for. Optional.
    virtual void esriFileWillFinishLoading(ZQESRIFile* file) {}
    // On the main thread, once the parse has ended.
    virtual void esriFileDidFinishLoading(ZQESRIFile* file) = 0;
    // On the parsing thread, for each object made; optional.
    virtual void esriFileDidLoadObject(ZQESRIFile* file, const std::shared_ptr<ZQObject>& object) {}
    // On the main thread, when a threaded synchronous load has its objects ("kESRIInfoFilePath",
    // "kESRIInfoObjects"); optional.
    virtual void esriFileDidFinishThreadedLoad(const QVariantMap& info) {}
};
