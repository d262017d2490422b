// The border layer: the frame it draws, its style through clipboard, drops and the
// selection colour, each with undo, and its archive.

#include "furniture/border/VXQBorderLayer.h"

#include "support/LogCapture.h"
#include "platform/ui/Menu.h"
#include "platform/vantrix/DrawingTestSupport.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

using namespace drawingtest;

namespace {

struct BorderFixture : Fixture {
    std::shared_ptr<VXQBorderLayer> border = std::make_shared<VXQBorderLayer>();

    BorderFixture() : Fixture({200, 200})
    {
        drawing->setMarginsLeftTopRightBottom(20, 20, 20, 20);
        drawing->addLayer(border);
        undo->removeAllActions();
    }
};

void putStyleOnClipboard(const VXStylePtr& style)
{
    auto* data = new QMimeData;
    style->copyToPasteboard(data);
    QGuiApplication::clipboard()->setMimeData(data);
}

// Validates the item the layer's menu holds for `action` and answers it.
platform::MenuItem* validatedItem(platform::Menu& menu, VXQBorderLayer& layer, const QByteArray& action)
{
    for (QAction* each : menu.actions()) {
        auto* item = qobject_cast<platform::MenuItem*>(each);
        if (item && item->action() == action) {
            item->setEnabled(layer.validateMenuItem(item));
            return item;
        }
    }
    return nullptr;
}

} // namespace

TEST(BorderLayer, NewLayerFramesTheInteriorInGreyAndFollowsItsSelectionColour)
{
    BorderFixture f;
    const QImage image = render(*f.drawing);
    const auto grey = [](const QColor& c) { return c.red() == c.green() && c.green() == c.blue() && c.red() < 200; };
    EXPECT_TRUE(grey(image.pixelColor(20, 100)));
    EXPECT_TRUE(grey(image.pixelColor(21, 100))); // 4 points wide: 2 on each side
    EXPECT_TRUE(grey(image.pixelColor(100, 20)));
    EXPECT_EQ(image.pixelColor(25, 100), image.pixelColor(100, 100)); // the interior shows the paper
    EXPECT_FALSE(grey(image.pixelColor(100, 100)));
    EXPECT_EQ(f.border->selectionColour(), f.border->borderStyle()->strokeColour());
    EXPECT_DOUBLE_EQ(f.border->borderStyle()->maxStrokeWidth(), 4.0);

    // Stroke styles take the colour as their stroke, fill-only ones as their fill, and a layer
    // without style gets a new 4-point stroke.
    f.border->setSelectionColour(Qt::red);
    EXPECT_EQ(f.border->borderStyle()->strokeColour(), QColor(Qt::red));
    f.border->setBorderStyle(fillStyle(Qt::blue));
    f.border->setSelectionColour(Qt::red);
    EXPECT_EQ(f.border->borderStyle()->fillColour(), QColor(Qt::red));
    EXPECT_FALSE(f.border->borderStyle()->hasStroke());
    EXPECT_EQ(f.border->selectionColour(), QColor(Qt::red));
    f.border->setBorderStyle(nullptr);
    f.border->setSelectionColour(Qt::green);
    EXPECT_EQ(f.border->borderStyle()->strokeColour(), QColor(Qt::green));
    EXPECT_DOUBLE_EQ(f.border->borderStyle()->maxStrokeWidth(), 4.0);

    // Each change is undone in turn, back to the default grey.
    f.endStep();
    for (int i = 0; i < 5 && f.undo->canUndo(); ++i)
        f.undo->undo();
    EXPECT_EQ(f.border->borderStyle()->strokeColour(), VXQBorderLayer::defaultBorderStyle()->strokeColour());
}

TEST(BorderLayer, CopyPasteAndClearTitleTheirItemsAndRespectTheLock)
{
    BorderFixture f;
    const VXStylePtr red = strokeStyle(Qt::red, 2);
    red->setName(QStringLiteral("Red Line"));
    putStyleOnClipboard(red);

    auto menu = f.border->menuForEventInView({}, nullptr);
    platform::MenuItem* paste = validatedItem(*menu, *f.border, "pasteDrawingStyle");
    ASSERT_TRUE(paste);
    EXPECT_EQ(paste->title(), QStringLiteral("Paste 'Red Line' As Border"));
    EXPECT_TRUE(paste->isEnabled());
    f.border->pasteDrawingStyle();
    EXPECT_EQ(f.undo->undoActionName(), QStringLiteral("Paste Border Style"));
    EXPECT_EQ(f.border->borderStyle()->name(), QStringLiteral("Red Line"));
    EXPECT_NE(f.border->borderStyle(), red); // a copy of its own
    // The style already is the border: nothing to paste.
    EXPECT_FALSE(validatedItem(*menu, *f.border, "pasteDrawingStyle")->isEnabled());

    platform::MenuItem* copy = validatedItem(*menu, *f.border, "copyDrawingStyle");
    EXPECT_EQ(copy->title(), QStringLiteral("Copy Border Style 'Red Line'"));
    f.border->setBorderStyle(strokeStyle(Qt::blue, 1));
    EXPECT_EQ(validatedItem(*menu, *f.border, "copyDrawingStyle")->title(), QStringLiteral("Copy Border Style"));
    f.border->copyDrawingStyle();
    const VXStylePtr copied = VXStyle::styleFromPasteboard(QGuiApplication::clipboard()->mimeData());
    ASSERT_TRUE(copied);
    EXPECT_TRUE(copied->isEqualToStyle(f.border->borderStyle().get()));

    f.endStep();
    f.border->clearBorderStyle();
    EXPECT_FALSE(f.border->borderStyle());
    EXPECT_EQ(f.undo->undoActionName(), QStringLiteral("Clear Border"));
    EXPECT_FALSE(validatedItem(*menu, *f.border, "copyDrawingStyle")->isEnabled());
    f.border->copyDrawingStyle(); // nothing to copy: the clipboard keeps its style
    EXPECT_TRUE(VXStyle::canInitWithPasteboard(QGuiApplication::clipboard()->mimeData()));
    f.endStep();
    f.undo->undo();
    EXPECT_EQ(f.border->borderStyle()->strokeColour(), QColor(Qt::blue));

    f.border->setLocked(true);
    auto lockedMenu = f.border->menuForEventInView({}, nullptr);
    EXPECT_FALSE(validatedItem(*lockedMenu, *f.border, "pasteDrawingStyle")); // not offered at all
    EXPECT_FALSE(validatedItem(*lockedMenu, *f.border, "clearBorderStyle"));
    platform::MenuItem clear(QString(), "clearBorderStyle");
    EXPECT_FALSE(f.border->validateMenuItem(&clear));
    f.border->clearBorderStyle();
    f.border->pasteDrawingStyle();
    EXPECT_EQ(f.border->borderStyle()->strokeColour(), QColor(Qt::blue));

    testsupport::LogCapture log;
    f.border->borderLayerHelpAction();
    EXPECT_TRUE(log.contains(QStringLiteral("border-layer")));
}

TEST(BorderLayer, DroppedStylesBecomeTheBorderAsOneStepAndBadDropsAreRefused)
{
    BorderFixture f;
    EXPECT_EQ(f.border->pasteboardTypesForOperation(kVXReadableTypesForDrop), QStringList{kVXStylePasteboardType});
    EXPECT_TRUE(f.border->pasteboardTypesForOperation(kVXReadableTypesForPaste).isEmpty());

    QMimeData data;
    strokeStyle(Qt::darkGreen, 6)->copyToPasteboard(&data);
    platform::DraggingInfo info{&data, {50, 50}, nullptr};
    EXPECT_EQ(f.border->draggingEntered(info), kVXDragOperationGeneric);
    EXPECT_TRUE(f.border->showDragHighlight());
    // The highlight frames the interior grown by 3 points in the selection colour.
    const QImage highlighted = render(*f.drawing);
    EXPECT_EQ(highlighted.pixelColor(17, 100).rgb(), f.border->selectionColour().rgb());
    f.border->draggingExited(info);
    EXPECT_FALSE(f.border->showDragHighlight());

    f.border->setLocked(true); // drops still apply to a locked layer
    f.endStep();
    f.border->draggingEntered(info);
    EXPECT_TRUE(f.border->performDragOperation(info));
    EXPECT_FALSE(f.border->showDragHighlight());
    EXPECT_EQ(f.border->borderStyle()->strokeColour(), QColor(Qt::darkGreen));
    EXPECT_EQ(f.undo->undoActionName(), QStringLiteral("Drag and Drop Border Style"));
    f.endStep();
    f.undo->undo();
    EXPECT_EQ(f.border->borderStyle()->strokeColour(), VXQBorderLayer::defaultBorderStyle()->strokeColour());

    QMimeData empty;
    QMimeData damaged;
    damaged.setData(kVXStylePasteboardType, QByteArray("bplist00 not an archive"));
    for (const QMimeData* bad : {&empty, &damaged}) {
        const platform::DraggingInfo badInfo{bad, {50, 50}, nullptr};
        f.border->draggingEntered(badInfo);
        EXPECT_FALSE(f.border->performDragOperation(badInfo));
        EXPECT_FALSE(f.border->showDragHighlight());
        EXPECT_EQ(f.border->borderStyle()->strokeColour(), VXQBorderLayer::defaultBorderStyle()->strokeColour());
    }
}

TEST(BorderLayer, ArchiveKeepsTheStyleOrItsAbsence)
{
    BorderFixture f;
    const VXStylePtr style = strokeStyle(Qt::magenta, 3);
    style->setName(QStringLiteral("Neatline"));
    f.border->setBorderStyle(style);
    f.border->setLayerName(QStringLiteral("Frame"));
    auto copy = std::dynamic_pointer_cast<VXQBorderLayer>(f.border->copy());
    ASSERT_TRUE(copy);
    EXPECT_EQ(copy->layerName(), QStringLiteral("Frame"));
    ASSERT_TRUE(copy->borderStyle());
    EXPECT_TRUE(copy->borderStyle()->isEqualToStyle(style.get()));
    EXPECT_EQ(copy->borderStyle()->name(), QStringLiteral("Neatline"));
    EXPECT_FALSE(copy->showDragHighlight());

    f.border->setBorderStyle(nullptr);
    auto bare = std::dynamic_pointer_cast<VXQBorderLayer>(f.border->copy());
    ASSERT_TRUE(bare);
    EXPECT_FALSE(bare->borderStyle());
    EXPECT_FALSE(bare->icon().isNull());
    EXPECT_TRUE(bare->auxiliaryInfoString().isEmpty());
}
