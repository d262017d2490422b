#pragma once

// Templates for the chooser tests: map packages saved by the document itself, packages holding
// only a thumbnail file, and waiting for thumbnails made on the pool.

#include "app/document/ZQTrueQuorvaneDocument.h"
#include "media/items/ZQAsynchronousImageLoader.h"
#include "platform/foundation/RunLoop.h"
#include "platform/measurement/ZQUnitLength.h"
#include "platform/vantrix/model/VXDrawing.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <QThreadPool>
#include <gtest/gtest.h>

namespace templatetest {

inline QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

inline void writeFile(const QString& path, const QByteArray& contents)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate)) << path.toStdString();
    file.write(contents);
}

// A map package saved by the document: `size` in points, shown in `units`, at 1:`scale`.
inline QString writeTemplate(const QString& path, QSizeF size, const ZQUnitLengthPtr& units, double scale)
{
    QDir().mkpath(QFileInfo(path).path());
    auto document = std::make_shared<ZQTrueQuorvaneDocument>();
    EXPECT_TRUE(document->initWithTypeError(kZQMapDocumentType, nullptr));
    document->drawing()->setUnits(units);
    document->drawing()->setDrawingSize(size);
    document->setMapScale(VXQMapScale::defaultScale()->mapScaleWithScale(scale));
    QuorvaneError error;
    EXPECT_TRUE(document->saveToURLOfTypeForSaveOperationError(QUrl::fromLocalFile(path), kZQMapDocumentType,
                                                               platform::Document::SaveOperation, &error))
        << error.localizedDescription().toStdString();
    return path;
}

inline QByteArray jpegData(QSize size)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(QColor(40, 120, 200));
    QByteArray data;
    QBuffer buffer(&data);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPEG", 80);
    return data;
}

// A package folder holding only "QuickLook/Thumbnail.jpg" with these bytes.
inline QString packageWithThumbnail(const QString& path, const QByteArray& thumbnail)
{
    writeFile(QDir(path).filePath(QStringLiteral("QuickLook/Thumbnail.jpg")), thumbnail);
    return path;
}

// Every thumbnail queued has been made and handed back.
inline void finishThumbnails()
{
    ZQAsynchronousImageLoader::imageLoaderQueue().waitForDone();
    platform::RunLoop::runUntilIdle();
}

} // namespace templatetest
