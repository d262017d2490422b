// Reverting a map to its saved version: the side panels leave the drawing they showed for the
// one read back.

#include "../app/MapDocumentTestSupport.h"
#include "app/document/MapDocumentWindowController.h"
#include "app/sidebar/SidebarTabView.h"
#include "inspectors/InspectorClasses.h"
#include "inspectors/geometry/VLTMGeometryController.h"
#include "panels/layers/VLTMLayersController.h"
#include "panels/tabs/VLTMTabView.h"
#include "platform/foundation/RunLoop.h"
#include "platform/foundation/UserDefaults.h"
#include "style_editor/editor/VLTMStyleEditorController.h"

#include <QScopeGuard>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

template <class Panel>
Panel* panelOf(const ZQQuorvaneDocument& document)
{
    using SplitItem = MapDocumentWindowController::SplitItem;
    for (SplitItem item : {SplitItem::LeftSidePanel, SplitItem::RightSidePanel}) {
        const SidebarTabView* tabView = document.mapWindowController()->sidebarTabView(item);
        for (qsizetype index = 0; tabView && index < tabView->numberOfTabs(); ++index)
            if (auto* panel = dynamic_cast<Panel*>(tabView->tabAtIndex(index)->viewController()))
                return panel;
    }
    return nullptr;
}

} // namespace

TEST(RevertToSaved, EverySidePanelFollowsTheDrawingReadBack)
{
    registerInspectorClasses();
    // Windows of this test get the side panels' tab views; others keep plain panels.
    SidebarTabView::setFactory(&VLTMTabView::makeSidebarTabView);
    const auto plainPanels = qScopeGuard([] { SidebarTabView::setFactory({}); });
    QTemporaryDir folder;
    const QUrl url = QUrl::fromLocalFile(folder.filePath(QStringLiteral("Town.qvnl")));
    platform::UserDefaults::standardUserDefaults()->removeObjectForKey(kVLTMDocument_DefaultRestorableState);
    auto document = mapdocumenttest::newMapDocument();
    document->makeWindowControllers();
    document->mapWindowController()->window()->resize(1000, 600);
    mapdocumenttest::addSquares(*mapdocumenttest::activeMappingLayer(*document), 3);
    QuorvaneError error;
    ASSERT_TRUE(document->saveToURLOfTypeForSaveOperationError(url, kZQMapDocumentType,
                                                              platform::Document::SaveOperation, &error));
    auto* before = mapdocumenttest::activeMappingLayer(*document);
    before->exchangeSelectionWithObjectsFromArray({before->objects().first()});
    platform::RunLoop::runUntilIdle();
    auto* style = panelOf<VLTMStyleEditorController>(*document);
    ASSERT_TRUE(style);
    ASSERT_EQ(style->selection().size(), 1);

    ASSERT_TRUE(document->revertToContentsOfURLOfTypeError(url, kZQMapDocumentType, &error));
    VXDrawing* reverted = document->drawing().get();
    auto* layers = panelOf<VLTMLayersController>(*document);
    auto* geometry = panelOf<VLTMGeometryController>(*document);
    ASSERT_TRUE(layers && geometry);
    EXPECT_EQ(layers->drawing(), reverted);
    EXPECT_EQ(geometry->drawing(), reverted);
    EXPECT_EQ(style->drawing(), reverted);
    EXPECT_TRUE(style->selection().isEmpty()) << "the old drawing's road is no longer there to restyle";

    auto* after = mapdocumenttest::activeMappingLayer(*document);
    ASSERT_TRUE(after);
    after->exchangeSelectionWithObjectsFromArray({after->objects().last()});
    platform::RunLoop::runUntilIdle();
    ASSERT_EQ(style->selection().size(), 1);
    EXPECT_EQ(style->selection().first(), after->objects().last());
    ASSERT_EQ(geometry->selection().size(), 1);
    EXPECT_EQ(geometry->selection().first(), after->objects().last());
    document->close();
}
