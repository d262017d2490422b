#pragma once

// Tracing the selected image shape of a map document into vector shapes. The document owns
// one, forwards Vectorize... here and stays the tracing sheet's delegate, answering its
// messages (vectorizingSourceImage, vectorizingOptions, vectorizeWithOptions) through it.
// The tracing parameters are the image shapes' class-wide ones.

#include <QCoreApplication>
#include <QImage>
#include <QVariantMap>
#include <memory>

class QVNVectorizingOptionsController;
class VXImageShape;
class ZQQuorvaneDocument;

class MapImageTracing {
    // The texts are the document's own.
    Q_DECLARE_TR_FUNCTIONS(ZQQuorvaneDocument)

public:
    explicit MapImageTracing(ZQQuorvaneDocument& document);
    ~MapImageTracing();
    MapImageTracing(const MapImageTracing&) = delete;
    MapImageTracing& operator=(const MapImageTracing&) = delete;

    // The active object layer's only selected object when it is an image shape; null otherwise.
    VXImageShape* selectedImageShape() const;
    // Opens the tracing sheet (made on first use and kept), or says why a locked image cannot
    // be traced.
    void runSheet();
    // The selected image as it is shown; null without one.
    QImage sourceImage() const;
    // Makes the options the class-wide parameters and traces the selected image in place
    // ("Vectorize"); nothing without one.
    void vectorizeWithOptions(const QVariantMap& options);
    QVNVectorizingOptionsController* sheet() const { return m_sheet.get(); }

private:
    ZQQuorvaneDocument& m_document;
    std::shared_ptr<QVNVectorizingOptionsController> m_sheet;
};
