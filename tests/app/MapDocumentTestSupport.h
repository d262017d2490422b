#pragma once

// Map documents for the document tests: a new document with a few styled paths carrying
// metadata, and a snapshot of a package on disk to prove that nothing changed there.

#include "app/document/VXQMappingLayer.h"
#include "app/document/ZQTrueQuorvaneDocument.h"
#include "platform/foundation/ZQUndoManager.h"
#include "platform/vantrix/drawables/VXDrawablePath.h"

#include <QDirIterator>
#include <QFile>
#include <QMap>
#include <gtest/gtest.h>

namespace mapdocumenttest {

inline std::shared_ptr<ZQTrueQuorvaneDocument> newMapDocument()
{
    auto document = std::make_shared<ZQTrueQuorvaneDocument>();
    QuorvaneError error;
    EXPECT_TRUE(document->initWithTypeError(kZQMapDocumentType, &error));
    return document;
}

inline VXQMappingLayer* activeMappingLayer(const ZQQuorvaneDocument& document)
{
    return dynamic_cast<VXQMappingLayer*>(document.activeLayer());
}

inline VXDrawablePathPtr squarePath(QPointF corner, const VXStylePtr& style)
{
    return VXDrawablePath::drawablePathWithBezierPathWithStyle(
        platform::BezierPath::bezierPathWithRect(QRectF(corner, QSizeF(10, 10))), style);
}

// `count` squares sharing two styles by turns, each with its index as metadata "id".
inline void addSquares(VXQMappingLayer& layer, int count)
{
    const VXStylePtr styles[2] = {VXStyle::styleWithFillColourStrokeColour(Qt::red, Qt::black),
                                  VXStyle::styleWithFillColourStrokeColour(Qt::blue, QColor())};
    for (int i = 0; i < count; ++i) {
        VXDrawablePathPtr path = squarePath(QPointF(20 + i * 12, 40), styles[i % 2]);
        path->setMetadataItemValueForKey(i, QStringLiteral("id"));
        layer.addObject(path);
    }
}

// Every file of a folder tree with its bytes.
inline QMap<QString, QByteArray> snapshot(const QString& folder)
{
    QMap<QString, QByteArray> files;
    QDirIterator it(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::ReadOnly));
        files.insert(path, file.readAll());
    }
    return files;
}

} // namespace mapdocumenttest
