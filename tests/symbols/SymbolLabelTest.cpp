#include "symbols/placed/VXQSymbol.h"

#include "symbols/shapes/VXQLabelledShape.h"

#include "platform/foundation/KeyedUnarchiver.h"
#include "platform/foundation/QuorvaneError.h"
#include "platform/foundation/UserDefaults.h"
#include "platform/foundation/ZQUndoManager.h"
#include "platform/ui/MenuItem.h"
#include "platform/vantrix/drawables/VXDrawableShape.h"
#include "platform/vantrix/model/VXDrawing.h"
#include "platform/vantrix/model/VXObjectDrawingLayer.h"
#include "platform/ui/FontManager.h"
#include "support/ArchiveTesting.h"

#include <QMouseEvent>
#include <gtest/gtest.h>
#include <cmath>

namespace {

// A 20 x 20 square symbol named "Well" at (100, 100) in a layer with an undo manager.
struct SquareSymbol {
    ZQUndoManager undo;
    VXDrawingPtr drawing = VXDrawing::drawingWithSize({400, 300});
    std::shared_ptr<VXObjectDrawingLayer> layer = std::make_shared<VXObjectDrawingLayer>();
    VXQSymbolPtr symbol;

    SquareSymbol()
    {
        // Filled only, so its bounds are the square's.
        const auto square = VXDrawableShape::drawableShapeWithRect({-10, -10, 20, 20},
                                                                   VXStyle::styleWithFillColourStrokeColour(Qt::blue, {}));
        symbol = VXQSymbol::symbolWithMaster(VXQSymbolMaster::symbolMasterWithObjectName(*square, QStringLiteral("Well")));
        drawing->setUndoManager(&undo);
        drawing->addLayer(layer);
        symbol->setLocation({100, 100});
        layer->addObject(symbol);
        undo.closeAutomaticGroup();
        undo.removeAllActions();
    }
    VXQTextBlockLabel* newLabel()
    {
        symbol->newTextLabel();
        undo.closeAutomaticGroup();
        return qobject_cast<VXQTextBlockLabel*>(symbol->textLabels().last().get());
    }
    // A press, a drag to `to` and a release on the first label's body; answers the step's name.
    QString dragFirstLabelTo(QPointF to, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        const int part = kVXQTextLabelPartBase + 4;
        QMouseEvent press(QEvent::MouseButtonPress, to, to, Qt::LeftButton, Qt::LeftButton, modifiers);
        symbol->mouseDownAtPointInPartEvent(to, part, &press);
        QMouseEvent drag(QEvent::MouseMove, to, to, Qt::LeftButton, Qt::LeftButton, modifiers);
        symbol->mouseDraggedAtPointInPartEvent(to, part, &drag);
        return symbol->mouseUpAtPointInPartEvent(to, part, &drag);
    }
};

void forgetStoredLabelAttributes()
{
    platform::UserDefaults::standardUserDefaults()->setObjectForKey(QVariant(), kVXQSymbolLabelDefaultAttributes);
}

TEST(SymbolLabels, AFirstLabelShowsTheNameInTheDefaultStyleWhichIsThenStored)
{
    forgetStoredLabelAttributes();
    SquareSymbol fixture;
    VXQTextBlockLabel* label = fixture.newLabel();
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->placement(), VXQTextBlockLabel::kNorthEast);
    EXPECT_EQ(label->string(), QStringLiteral("Well"));
    EXPECT_EQ(label->fontSize(), 11.0);
    EXPECT_EQ(label->font().family(), QStringLiteral("Helvetica"));
    EXPECT_EQ(label->textColour(), QColor(Qt::black));
    EXPECT_EQ(fixture.symbol->selectedTextLabels().size(), 1);
    EXPECT_EQ(fixture.undo.undoActionName(), QStringLiteral("New Label"));
    EXPECT_FALSE(platform::UserDefaults::standardUserDefaults()->dataForKey(kVXQSymbolLabelDefaultAttributes).isEmpty());

    fixture.undo.undo();
    EXPECT_TRUE(fixture.symbol->textLabels().isEmpty());
    fixture.undo.redo();
    EXPECT_EQ(fixture.symbol->textLabels().size(), 1);

    // A stored value that does not read is made again.
    platform::UserDefaults::standardUserDefaults()->setObjectForKey(QByteArray("not an archive"), kVXQSymbolLabelDefaultAttributes);
    EXPECT_EQ(VXQSymbol::defaultSymbolLabelAttributes().value(platform::kForegroundColourAttributeName).value<QColor>(),
              QColor(Qt::black));
    EXPECT_NE(platform::UserDefaults::standardUserDefaults()->dataForKey(kVXQSymbolLabelDefaultAttributes),
              QByteArray("not an archive"));
    // A stored one is what new labels take.
    QVariantMap red = VXQSymbol::defaultSymbolLabelAttributes();
    red.insert(platform::kForegroundColourAttributeName, QVariant::fromValue(QColor(Qt::red)));
    VXQSymbol::setDefaultSymbolLabelAttributes(red);
    EXPECT_EQ(fixture.newLabel()->textColour(), QColor(Qt::red));
    forgetStoredLabelAttributes();
}

TEST(SymbolLabels, OffsetRadiiAndDragPlacementsFollowTheSymbolsSize)
{
    SquareSymbol fixture;
    VXQTextBlockLabel* label = fixture.newLabel();
    const VXQSymbol& symbol = *fixture.symbol;
    label->setPlacement(VXQTextBlockLabel::kNorth);
    EXPECT_DOUBLE_EQ(symbol.labelOffsetRadiusForLabel(*label), 13.0);
    label->setPlacement(VXQTextBlockLabel::kEast);
    EXPECT_DOUBLE_EQ(symbol.labelOffsetRadiusForLabel(*label), 14.0);
    label->setPlacement(VXQTextBlockLabel::kNorthEast);
    EXPECT_DOUBLE_EQ(symbol.labelOffsetRadiusForLabel(*label), std::hypot(20.0, 20.0) / 2 + 1);
    fixture.undo.closeAutomaticGroup();

    // Close to the location it centres there; farther out it takes the compass direction.
    EXPECT_EQ(fixture.dragFirstLabelTo({102, 101}), QStringLiteral("Label Placement"));
    EXPECT_EQ(label->placement(), VXQTextBlockLabel::kOnReferencePoint);
    fixture.dragFirstLabelTo({100, 40});
    EXPECT_EQ(label->placement(), VXQTextBlockLabel::kNorth);
    fixture.dragFirstLabelTo({60, 140});
    EXPECT_EQ(label->placement(), VXQTextBlockLabel::kSouthWest);
    EXPECT_EQ(fixture.dragFirstLabelTo({130, 90}, Qt::ShiftModifier), QStringLiteral("Move Label"));
    EXPECT_EQ(label->placement(), VXQTextBlockLabel::kFree);
    EXPECT_EQ(label->freePosition(), QPointF(30, -10));

    // A locked symbol's labels still follow a drag.
    fixture.symbol->setLocked(true);
    EXPECT_EQ(fixture.dragFirstLabelTo({100, 40}), QStringLiteral("Label Placement"));
    EXPECT_EQ(label->placement(), VXQTextBlockLabel::kNorth);
}

TEST(SymbolLabels, LockedSymbolsRefuseHidingButTheirLabelCommandsAreLeftToTheMenu)
{
    SquareSymbol fixture;
    fixture.newLabel();
    fixture.symbol->setLocked(true);
    fixture.symbol->setLabelsHidden(true);
    EXPECT_FALSE(fixture.symbol->labelsHidden());
    platform::MenuItem newItem(QStringLiteral("New Label"), "newTextLabel");
    EXPECT_FALSE(fixture.symbol->validateMenuItem(&newItem));
    fixture.newLabel();
    EXPECT_EQ(fixture.symbol->textLabels().size(), 2);

    fixture.symbol->setLocked(false);
    fixture.symbol->selectAllTextLabels();
    fixture.undo.closeAutomaticGroup();
    fixture.symbol->deleteLabels();
    fixture.undo.closeAutomaticGroup();
    EXPECT_TRUE(fixture.symbol->textLabels().isEmpty());
    EXPECT_EQ(fixture.undo.undoActionName(), QStringLiteral("Delete Labels"));
    fixture.undo.undo();
    EXPECT_EQ(fixture.symbol->textLabels().size(), 2);
}

TEST(SymbolLabels, LabelAttributesAreConvertedOrRefusedWithCode55)
{
    SquareSymbol fixture;
    const VXQSymbol& symbol = *fixture.symbol;
    const auto fontSizeOf = [](const QVariant& value) {
        const VXStylePtr style = value.value<VXStylePtr>();
        return style ? style->textAttributes().value(platform::kFontAttributeName).value<QFont>().pointSizeF() : -1.0;
    };
    QuorvaneError error;
    QVariant value = 100;
    ASSERT_TRUE(symbol.validateValueForKeyError(value, QStringLiteral("labelAttributes"), &error));
    EXPECT_EQ(fontSizeOf(value), 72.0);
    value = 2.5;
    ASSERT_TRUE(symbol.validateLabelAttributesError(value, &error));
    EXPECT_EQ(fontSizeOf(value), 4.0);
    value = QVariant::fromValue(QColor(Qt::green));
    ASSERT_TRUE(symbol.validateLabelAttributesError(value, &error));
    EXPECT_EQ(value.value<VXStylePtr>()->textAttributes().value(platform::kForegroundColourAttributeName).value<QColor>(),
              QColor(Qt::green));
    value = QStringLiteral("Helvetica 14");
    ASSERT_TRUE(symbol.validateLabelAttributesError(value, &error));
    EXPECT_EQ(fontSizeOf(value), 14.0);

    for (QVariant refused : {QVariant(QStringLiteral("NoSuchFontAnywhere 12")), QVariant(QPointF(1, 2)),
                             QVariant::fromValue(VXStyle::styleWithFillColourStrokeColour(Qt::red, {}))}) {
        error = {};
        const QVariant before = refused;
        EXPECT_FALSE(symbol.validateLabelAttributesError(refused, &error));
        EXPECT_EQ(error.code(), kQuorvaneValidationError);
        EXPECT_EQ(refused, before) << "nothing stored";
    }
    error = {};
    QVariant nothing;
    EXPECT_FALSE(symbol.validateLabelAttributesError(nothing, &error));
    EXPECT_EQ(error.code(), 0) << "nothing is refused without an error";

    // A valid value reaches every label.
    fixture.newLabel();
    fixture.newLabel();
    value = 30;
    ASSERT_TRUE(symbol.validateLabelAttributesError(value, &error));
    fixture.symbol->setLabelAttributes(value);
    for (const VXQTextLabelPtr& label : symbol.textLabels())
        EXPECT_EQ(label->fontSize(), 30.0);
}

} // namespace

TEST(SymbolLabels, SelectingASymbolOrItsLabelsLeavesTheFontPanelAlone)
{
    SquareSymbol fixture;
    VXQTextBlockLabel* label = fixture.newLabel();
    label->setFont(QFont(QStringLiteral("Courier"), 30));
    platform::FontManager* fonts = platform::FontManager::sharedFontManager();
    const QFont before(QStringLiteral("Times"), 9);
    fonts->setSelectedFontIsMultiple(before, false);
    fixture.symbol->selectAllTextLabels();
    fixture.symbol->selectTextLabelExtendingSelection(label, false);
    fixture.symbol->objectDidBecomeSelected();
    EXPECT_EQ(fonts->selectedFont(), before);
}

TEST(SymbolLabels, SettingTheLabelsMeasuresTheSymbolAnew)
{
    SquareSymbol fixture;
    const QRectF alone = fixture.symbol->bounds();
    auto far = VXQTextBlockLabel::label();
    far->setText(QStringLiteral("Far away"));
    far->setFreePosition({200, 0});
    fixture.symbol->setTextLabels({far});
    EXPECT_EQ(far->container(), fixture.symbol.get());
    EXPECT_TRUE(fixture.symbol->bounds().contains(far->bounds()));
    fixture.symbol->setTextLabels({});
    EXPECT_EQ(fixture.symbol->bounds(), alone);
}

TEST(SymbolLabels, AnOlderArchiveTakesTheMastersLabelsAndTemplateUnlessItHoldsLabels)
{
    auto graphic = std::make_shared<VXQLabelledShape>();
    graphic->adoptPathFromDrawing(platform::BezierPath::bezierPathWithRect({-10, -10, 20, 20}));
    graphic->newTextLabel();
    graphic->textLabels().first()->setText(QStringLiteral("Pier"));
    const VXQSymbolMasterPtr master = VXQSymbolMaster::symbolMasterWithObjectName(*graphic, QStringLiteral("Pier"));
    master->setAttributesTemplate({{QStringLiteral("depth"), QStringLiteral("4 m")}});

    testsupport::ArchiveStub older; // written before symbols held their own labels
    older.objects[QStringLiteral("VXQSymbol_master")] = master;
    older.values[QStringLiteral("VXQSymbol_scaleFactor")] = 1.0;
    const auto read = [&] {
        return std::dynamic_pointer_cast<VXQSymbol>(
            platform::KeyedUnarchiver::unarchiveObjectWithData(older.archiveAs(QStringLiteral("VXQSymbol"))));
    };
    const VXQSymbolPtr symbol = read();
    ASSERT_TRUE(symbol);
    ASSERT_EQ(symbol->textLabels().size(), 1);
    EXPECT_EQ(symbol->textLabels().first()->text().string(), QStringLiteral("Pier"));
    EXPECT_EQ(symbol->textLabels().first()->container(), symbol.get());
    EXPECT_EQ(symbol->metadataObjectForKey(QStringLiteral("depth")).toString(), QStringLiteral("4 m"));

    // A modern archive keeps what it wrote: no labels are none.
    older.values[QStringLiteral("VXQSymbol_hasModernTypeSequence")] = true;
    const VXQSymbolPtr modern = read();
    ASSERT_TRUE(modern);
    EXPECT_TRUE(modern->textLabels().isEmpty());
}
