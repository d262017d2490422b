// A map opened from its file: the side panels show what it was saved with.

#include "../app/MapDocumentTestSupport.h"
#include "app/document/MapDocumentWindowController.h"
#include "app/document/QuorvaneDocumentController.h"
#include "app/sidebar/SidebarTabView.h"
#include "inspectors/InspectorClasses.h"
#include "inspectors/geometry/VLTMGeometryController.h"
#include "panels/tabs/VLTMTabView.h"
#include "platform/foundation/RunLoop.h"
#include "platform/foundation/UserDefaults.h"
#include "widgets/stacks/ZQCollapsibleContainerView.h"

#include <QScopeGuard>
#include <QTemporaryDir>
#include <gtest/gtest.h>

TEST(OpenedMap, TheGeometryTabShowsTheSelectionTheMapWasSavedWith)
{
    registerInspectorClasses();
    SidebarTabView::setFactory(&VLTMTabView::makeSidebarTabView);
    const auto plainPanels = qScopeGuard([] { SidebarTabView::setFactory({}); });
    platform::UserDefaults::standardUserDefaults()->removeObjectForKey(kVLTMDocument_DefaultRestorableState);
    QTemporaryDir folder;
    const QUrl url = QUrl::fromLocalFile(folder.filePath(QStringLiteral("Counties.qvnl")));
    {
        auto document = mapdocumenttest::newMapDocument();
        VXQMappingLayer* layer = mapdocumenttest::activeMappingLayer(*document);
        mapdocumenttest::addSquares(*layer, 3);
        layer->objects()[1]->assignUserNameWithFlag(QStringLiteral("Wexmoor"), true);
        layer->exchangeSelectionWithObjectsFromArray({layer->objects()[1]});
        QuorvaneError error;
        ASSERT_TRUE(document->saveToURLOfTypeForSaveOperationError(url, kZQMapDocumentType,
                                                                  platform::Document::SaveOperation, &error));
        document->close();
    }

    QuorvaneDocumentController controller;
    QuorvaneError error;
    auto* document =
        qobject_cast<ZQQuorvaneDocument*>(controller.openDocumentWithContentsOfURLDisplayError(url, true, &error));
    ASSERT_TRUE(document) << qPrintable(error.localizedDescription());
    const auto closeMap = qScopeGuard([document] { document->close(); });
    ASSERT_TRUE(document->selectTabWithIdentifier(VLTMGeometryController::kTabIdentifier));
    platform::RunLoop::runUntilIdle();

    auto* geometry = qobject_cast<VLTMGeometryController*>(
        document->mapWindowController()->tabControllerWithIdentifier(VLTMGeometryController::kTabIdentifier));
    ASSERT_TRUE(geometry);
    EXPECT_EQ(geometry->nameString(), QStringLiteral("Wexmoor"));
    const QList<QWidget*> panes = geometry->containerView()->hostedViews();
    ASSERT_FALSE(panes.isEmpty()) << "the position and size pane at least";
    for (QWidget* pane : panes) {
        EXPECT_TRUE(pane->isVisible());
        EXPECT_GT(pane->width(), 0);
        EXPECT_GT(pane->height(), 0);
    }
}
