#include "app/document/MapImageTracing.h"

#include "app/document/ZQQuorvaneDocument.h"
#include "app/document/ZQTitleProxy.h"
#include "app/import/QVNVectorizingOptionsController.h"
#include "platform/ui/Alert.h"
#include "platform/vantrix/drawables/VXImageShape.h"
#include "platform/vantrix/model/VXObjectDrawingLayer.h"

#include <QGuiApplication>
#include <QScopeGuard>

MapImageTracing::MapImageTracing(ZQQuorvaneDocument& document)
    : m_document(document)
{
}

MapImageTracing::~MapImageTracing() = default;

VXImageShape* MapImageTracing::selectedImageShape() const
{
    const VXObjectDrawingLayer* layer = m_document.activeObjectLayer();
    if (!layer)
        return nullptr;
    const QList<VXDrawableObjectPtr> selection = layer->selection();
    return selection.size() == 1 ? qobject_cast<VXImageShape*>(selection.first().get()) : nullptr;
}

void MapImageTracing::runSheet()
{
    const VXImageShape* shape = selectedImageShape();
    if (shape && !shape->canBeVectorized()) {
        // Say why rather than open the sheet for a trace that could not replace the image.
        platform::Alert alert = platform::Alert::alertWithMessageTextDefaultButtonAlternateButtonOtherButtonInformativeText(
            tr("The image is locked."), tr("OK"), {}, {},
            tr("Vectorizing replaces an image with the shapes traced from it, which a locked image does not allow. "
               "To trace it, untick Locked in the Geometry tab, then choose Vectorize again."));
        alert.beginSheetModalForWindowCompletionHandler(m_document.windowForSheet(), {});
        return;
    }
    if (!m_sheet)
        m_sheet = std::make_shared<QVNVectorizingOptionsController>();
    m_sheet->runModalVectorizingDialogForWindowVectorizingDelegate(m_document.windowForSheet(), &m_document);
}

QImage MapImageTracing::sourceImage() const
{
    const VXImageShape* shape = selectedImageShape();
    return shape ? shape->resampledAndCroppedImage() : QImage();
}

void MapImageTracing::vectorizeWithOptions(const QVariantMap& options)
{
    VXImageShape* shape = selectedImageShape();
    if (!shape)
        return;
    VXImageShape::setTracingParameters(options);
    // Tracing a large scan takes a second or two.
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    const auto restoreCursor = qScopeGuard([] { QGuiApplication::restoreOverrideCursor(); });
    shape->vectorize(ZQTitleProxy::titleProxyWithString(tr("Vectorize")).get());
}
