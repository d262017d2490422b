#pragma once

// The exporting of one map document: File > Export... and the slices' export commands open the
// export sheet on the document's export operation (made on first use), and an export the user
// confirms makes the edited copy the document's operation before anything is written.
//
// The document reaches it as a helper, so "exportAction" and
// "showExportDialogWithPreferredSource" travel the responder chain to it.

#include "panels/dialogs/VLTMExportController.h"

class ZQTrueQuorvaneDocument;

class DocumentExport : public ZQObject, public ExportControllerDelegate {
    Q_OBJECT

public:
    // No preferred source: the operation keeps the one it has.
    static constexpr int kNoPreferredSource = -1;

    explicit DocumentExport(ZQTrueQuorvaneDocument* document = nullptr);

    // Makes every map document get its exporting: registers the helper factory.
    static void installForMapDocuments();
    static DocumentExport* ofDocument(const ZQTrueQuorvaneDocument& document);

    Q_INVOKABLE void showExportDialogWithPreferredSource(int sourceType);
    Q_INVOKABLE void exportAction(QObject* sender = nullptr);
    // The sheet while it is open.
    VLTMExportController* exportController() const { return m_controller.lock().get(); }

    // Adopts the edited operation as the document's own.
    bool exportControllerWillExportWithOperation(VLTMExportController& controller,
                                                 const VLTMExportOperationPtr& operation) override;

private:
    QPointer<ZQTrueQuorvaneDocument> m_document;
    std::weak_ptr<VLTMExportController> m_controller;
};
