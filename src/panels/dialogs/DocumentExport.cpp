#include "panels/dialogs/DocumentExport.h"

#include "app/services/MapDocumentServices.h"
#include "app/document/ZQTrueQuorvaneDocument.h"

#include <QFileInfo>

DocumentExport::DocumentExport(ZQTrueQuorvaneDocument* document) : m_document(document) {}

void DocumentExport::installForMapDocuments()
{
    ZQTrueQuorvaneDocument::addDocumentHelperFactory(
        [](ZQTrueQuorvaneDocument& document) { return std::make_shared<DocumentExport>(&document); });
    MapDocumentServices::installed().exportSlices = [](ZQQuorvaneDocument& document) {
        const auto* map = qobject_cast<const ZQTrueQuorvaneDocument*>(&document);
        if (DocumentExport* exporting = map ? ofDocument(*map) : nullptr)
            exporting->showExportDialogWithPreferredSource(kVLTMExportSlices);
    };
}

DocumentExport* DocumentExport::ofDocument(const ZQTrueQuorvaneDocument& document)
{
    for (const ZQObjectPtr& helper : document.helpers())
        if (auto* exporting = qobject_cast<DocumentExport*>(helper.get()))
            return exporting;
    return nullptr;
}

void DocumentExport::showExportDialogWithPreferredSource(int sourceType)
{
    if (!m_document)
        return;
    auto operation = std::dynamic_pointer_cast<VLTMExportOperation>(m_document->exportOperation());
    if (!operation) {
        operation = VLTMExportOperation::exportOperation();
        // The files of a saved map are named after it.
        if (const QString saved = QFileInfo(m_document->fileURL().toLocalFile()).completeBaseName(); !saved.isEmpty())
            operation->setFileNameRoot(saved + QLatin1Char('_'));
        m_document->setExportOperation(operation);
    }
    operation->setDrawing(m_document->drawing());
    if (sourceType != kNoPreferredSource)
        operation->setSourceType(sourceType);
    const std::shared_ptr<VLTMExportController> controller = VLTMExportController::exportController();
    controller->setDelegate(this);
    m_controller = controller;
    controller->beginSheetExportOperationOnParentWindow(operation, m_document->windowForSheet());
}

void DocumentExport::exportAction(QObject*)
{
    showExportDialogWithPreferredSource(kNoPreferredSource);
}

bool DocumentExport::exportControllerWillExportWithOperation(VLTMExportController&,
                                                             const VLTMExportOperationPtr& operation)
{
    if (m_document)
        m_document->setExportOperation(operation);
    return true;
}
