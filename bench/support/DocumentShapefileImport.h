#pragma once

// A shapefile imported into a map document as File > Import Shapefile... does it (the
// document's own delegate, the application's object factory), with the event loop turning
// until the new layer is there. Link quorvane_app.

#include "app/document/ZQTrueQuorvaneDocument.h"
#include "app/import/ZQShapefileObjectFactory.h"
#include "geodata/ZQESRIFile.h"
#include "platform/foundation/UserDefaults.h"
#include "platform/vantrix/model/VXDrawing.h"
#include "platform/vantrix/model/VXObjectOwnerLayer.h"

#include <QEventLoop>
#include <QTimer>

namespace bench {

// Imports run unsimplified, with settings that live in `folder` and go with it.
inline void importUnsimplifiedWithSettingsIn(const QString& folder)
{
    platform::UserDefaults::setStorageLocationForTesting(folder);
    platform::UserDefaults::standardUserDefaults()->setObjectForKey(false, QStringLiteral("kImportOptionSettingSimplifyEnable"));
}

// A new map of 4000 x 3000 points.
inline std::shared_ptr<ZQTrueQuorvaneDocument> newMapForImport()
{
    auto document = std::make_shared<ZQTrueQuorvaneDocument>();
    QuorvaneError error;
    document->initWithTypeError(kZQMapDocumentType, &error);
    document->drawing()->setDrawingSize(QSizeF(4000, 3000));
    return document;
}

// The objects of the new layer; -1 when none came within `timeoutMs`.
inline qint64 importShapefileIntoDocument(ZQTrueQuorvaneDocument& document, const QString& shpPath,
                                          int timeoutMs = 300'000)
{
    const int layersBefore = document.drawing()->countOfLayers();
    auto reader = std::make_shared<ZQESRIFile>();
    reader->initWithFile(shpPath);
    reader->setDiscardOutOfViewObjects(true);
    reader->setObjectFactory(ZQShapefileObjectFactory::makeFactory());
    QEventLoop loop;
    QTimer poll;
    poll.callOnTimeout([&] {
        if (document.drawing()->countOfLayers() > layersBefore)
            loop.quit();
    });
    poll.start(5);
    QTimer::singleShot(timeoutMs, &loop, &QEventLoop::quit);
    reader->beginLoadWithDelegate(&document);
    loop.exec();
    if (document.drawing()->countOfLayers() == layersBefore)
        return -1;
    const auto* layer = dynamic_cast<const VXObjectOwnerLayer*>(document.drawing()->layers().first().get());
    return layer ? layer->countOfObjects() : -1;
}

} // namespace bench
