#include "style_editor/StyleEditorTesting.h"

#include "style_editor/arrow/VXQArrowView.h"

#include "platform/foundation/ClassRegistry.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/ui/ColourWell.h"
#include "platform/ui/MenuItem.h"
#include "platform/vantrix/styles/VXArrowStroke.h"
#include "platform/vantrix/styles/VXCIFilterTypeBlurGroup.h"
#include "platform/vantrix/styles/VXGloomGroup.h"
#include "platform/vantrix/styles/VXGradientFill.h"
#include "platform/vantrix/styles/VXRepeatTransformGroup.h"
#include "platform/vantrix/text/VXTextAdornment.h"
#include "platform/vantrix/styles/VXFillPattern.h"
#include "platform/vantrix/styles/VXImageAdornment.h"
#include "platform/vantrix/styles/VXPathDecorator.h"
#include "platform/vantrix/styles/VXRoughStroke.h"
#include "platform/vantrix/styles/VXStrokeDash.h"
#include "platform/vantrix/styles/VXTilingFill.h"
#include "platform/vantrix/styles/VXZigZagFill.h"
#include "platform/vantrix/styles/VXZigZagStroke.h"
#include "style_editor/panes/StyleComponentPaneRegistry.h"
#include "style_editor/panes/fills/ImagePanes.h"
#include "style_editor/panes/fills/ImageSourceControls.h"
#include "style_editor/panes/fills/VLTMStyleEditSub_VXFill.h"
#include "style_editor/panes/maps/MapRasterizerPanes.h"
#include "style_editor/panes/shadow/ShadowControls.h"
#include "style_editor/panes/shadow/VLTMStyleEditSub_NSShadow.h"
#include "style_editor/panes/strokes/DashMenu.h"
#include "style_editor/panes/strokes/StrokeSubclassPanes.h"
#include "style_editor/panes/strokes/StrokeWidthMenu.h"
#include "style_editor/panes/table/StylePaneRowControl.h"
#include "style_editor/panes/table/StyleTablePane.h"
#include "tracks/rasterizers/VXQBridgeRasterizer.h"
#include "tracks/rasterizers/VXQCuttingAndEmbankmentRasterizer.h"
#include "tracks/styles/VXQTaggedStroke.h"
#include "tracks/rasterizers/VXQTunnelRasterizer.h"
#include "tracks/styles/VXQTaperedStroke.h"
#include "widgets/fields/SliderAndStepper.h"
#include "widgets/fields/ZQAugmentedTextField.h"

#include <QAbstractButton>
#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QSlider>
#include <QTest>
#include <QBuffer>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <numbers>

using namespace styleeditortest;

namespace {

using Control = StylePaneRow::Control;

struct PaneFixture : EditorFixture {
    VXRasterizerPtr component;

    explicit PaneFixture(VXRasterizerPtr shown)
        : component(std::move(shown))
    {
        select({addShape(styleOf({component}))});
        forgetEdits();
    }
    StyleTablePane* pane() { return dynamic_cast<StyleTablePane*>(editor->subcontrollerForComponent(component.get())); }
};

// Drives a row's control as a user would, to a value unlike the one shown; answers the value
// the component should then hold.
QVariant changeRow(StylePaneRowControl& control, const QVariant& current)
{
    const StylePaneRow& row = control.row();
    switch (row.control) {
    case Control::Number:
    case Control::Length: {
        const double shown = current.toDouble() * row.displayFactor;
        const double changed = shown + row.increment <= row.maximum ? shown + row.increment : shown - row.increment;
        control.field()->setText(QString::number(changed));
        control.rowAction(control.field());
        return changed / row.displayFactor;
    }
    case Control::Colour:
        control.colourWell()->setColor(QColor(10, 120, 30));
        control.rowAction(control.colourWell());
        return QVariant::fromValue(QColor(10, 120, 30));
    case Control::Checkbox:
        control.checkbox()->click();
        return current == row.checkedValue ? row.uncheckedValue : row.checkedValue;
    case Control::PopUp: {
        QComboBox* popUp = control.popUp();
        const int index = popUp->findData(current.toInt()) == 0 ? 1 : 0;
        popUp->setCurrentIndex(index);
        control.rowAction(popUp);
        return popUp->itemData(index);
    }
    case Control::Segments:
    case Control::Radio:
        for (const auto& [title, tag] : row.choices) {
            if (tag != current.toInt()) {
                control.buttons()->button(tag)->click();
                return tag;
            }
        }
    }
    return {};
}

bool sameValue(const QVariant& a, const QVariant& b)
{
    if (a.typeId() == QMetaType::QColor || b.typeId() == QMetaType::QColor)
        return a.value<QColor>().rgba() == b.value<QColor>().rgba();
    if (a.typeId() == QMetaType::Bool || b.typeId() == QMetaType::Bool)
        return a.toBool() == b.toBool();
    return std::abs(a.toDouble() - b.toDouble()) < 1e-9;
}

QList<VXRasterizerPtr> paneComponents()
{
    return {std::make_shared<VXStroke>(),        std::make_shared<VXArrowStroke>(),  std::make_shared<VXZigZagStroke>(),
            std::make_shared<VXRoughStroke>(),   std::make_shared<VXQTaperedStroke>(), std::make_shared<VXQTaggedStroke>(),
            std::make_shared<VXFill>(),          std::make_shared<VXZigZagFill>(),   std::make_shared<VXTilingFill>(),
            std::make_shared<VXHatching>(),      std::make_shared<VXImageAdornment>(), std::make_shared<VXPathDecorator>(),
            std::make_shared<VXFillPattern>(),   std::make_shared<VXQCuttingAndEmbankmentRasterizer>(),
            std::make_shared<VXQTunnelRasterizer>(), std::make_shared<VXQBridgeRasterizer>(),
            std::make_shared<VXRepeatTransformGroup>(), std::make_shared<VXGloomGroup>(),
            std::make_shared<VXCIFilterTypeBlurGroup>(), std::make_shared<VXTextAdornment>(),
            std::make_shared<VXGradientFill>()};
}

TEST(StylePanes, ANarrowPanelKeepsEveryButtonTitleAndStepperWhole)
{
    for (const VXRasterizerPtr& component : paneComponents()) {
        SCOPED_TRACE(component->metaObject()->className());
        PaneFixture f(component);
        StyleTablePane* pane = f.pane();
        ASSERT_TRUE(pane);
        // The side panel's width when a map window opens.
        f.editor->view()->setFixedSize(236, 900);
        f.editor->view()->show();
        QApplication::processEvents();
        for (const StylePaneRow& row : pane->table()) {
            SCOPED_TRACE(row.keyPath.toStdString());
            const QWidget* controls = pane->rowControl(row.keyPath)->widget();
            for (const QWidget* part : controls->findChildren<QWidget*>()) {
                if (!part->isVisible())
                    continue;
                if (const auto* button = qobject_cast<const QAbstractButton*>(part)) {
                    EXPECT_GE(part->width(), button->fontMetrics().horizontalAdvance(button->text()) + 4)
                        << button->text().toStdString();
                } else if (qobject_cast<const ZQStepper*>(part)) {
                    EXPECT_GE(part->width(), part->sizeHint().width());
                }
            }
        }
    }
}

TEST(StylePanes, EveryRowWritesItsKeyUndoablyUnderTheComponentsActionName)
{
    for (const VXRasterizerPtr& component : paneComponents()) {
        SCOPED_TRACE(component->metaObject()->className());
        PaneFixture f(component);
        StyleTablePane* pane = f.pane();
        ASSERT_TRUE(pane);
        EXPECT_EQ(pane->nibName(), QStringLiteral("VLTMStyleEditSub_%1").arg(component->metaObject()->className()));
        for (const StylePaneRow& row : pane->table()) {
            SCOPED_TRACE(row.keyPath.toStdString());
            StylePaneRowControl* control = pane->rowControl(row.keyPath);
            ASSERT_TRUE(control);
            // Rows enabled by another key's value have their own test.
            if (row.enabledWhen && !row.enabledWhen(*pane))
                continue;
            ASSERT_TRUE(control->widget()->isEnabled());
            const QVariant before = component->valueForKey(row.keyPath);
            const QVariant expected = changeRow(*control, before);
            EXPECT_TRUE(sameValue(component->valueForKey(row.keyPath), expected))
                << component->valueForKey(row.keyPath).toString().toStdString();
            EXPECT_EQ(f.undo.undoActionName(), component->actionNameForKeyPathChangeKind(row.keyPath));
            f.endStep();
            f.undo.undo();
            EXPECT_TRUE(sameValue(component->valueForKey(row.keyPath), before));
            f.forgetEdits();
        }
    }
}

TEST(StylePanes, EveryComponentOfTheAddMenuOpensItsPaneOrThePlaceholder)
{
    for (int tag : VLTMStyleEditorController::styleComponentTags()) {
        const QMetaObject* componentClass = VLTMStyleEditorController::componentClassForStyleComponentTag(tag);
        ASSERT_TRUE(componentClass) << tag;
        const auto component =
            std::dynamic_pointer_cast<VXRasterizer>(platform::ClassRegistry::create(componentClass->className()));
        ASSERT_TRUE(component) << componentClass->className();
        const auto pane = StyleComponentPaneRegistry::makePaneForComponent(*component);
        const QString own = StyleComponentPaneRegistry::subcontrollerNibNameForComponentClass(componentClass->className());
        EXPECT_TRUE(pane->nibName() == own || pane->nibName() == QStringLiteral("VLTMStyleComponentPlaceholder"));
        if (pane->nibName() == own) {
            EXPECT_TRUE(component->inherits(pane->managedObjectClass()->className())) << componentClass->className();
        }
    }
}

TEST(StylePanes, TheWidthMenuFollowsTheWidthAndWritesItsItems)
{
    auto stroke = std::make_shared<VXStroke>();
    PaneFixture f(stroke);
    auto* pane = dynamic_cast<VLTMStyleEditSub_VXStroke*>(f.pane());
    ASSERT_TRUE(pane);
    StrokeWidthMenu* menu = pane->widthMenu();
    const auto showWidth = [&](double width) {
        stroke->setWidth(width);
        f.settle();
        return menu->selectedItem();
    };
    EXPECT_EQ(showWidth(1.25)->tag(), 12);
    EXPECT_EQ(showWidth(0.7)->tag(), 7);
    EXPECT_EQ(menu->itemWithTag(StrokeWidthMenu::kOtherTag)->title(), QStringLiteral("Other"));
    platform::MenuItem* other = showWidth(0.44);
    EXPECT_EQ(other->tag(), StrokeWidthMenu::kOtherTag);
    EXPECT_EQ(other->title(), QStringLiteral("Other (0.4pt)"));
    f.forgetEdits();

    menu->itemWithTag(30)->trigger();
    EXPECT_DOUBLE_EQ(stroke->width(), 3.0);
    EXPECT_EQ(f.undo.undoActionName(), QStringLiteral("Stroke Width"));
    EXPECT_EQ(menu->itemWithTag(30)->title(), QStringLiteral("3.0pt"));
}

TEST(StylePanes, TypedTextThatIsNoFiniteNumberWritesNothing)
{
    auto stroke = std::make_shared<VXQTaggedStroke>();
    stroke->setWidth(2);
    PaneFixture f(stroke);
    StylePaneRowControl* width = f.pane()->rowControl(QStringLiteral("width"));
    for (const QString& text : {QString(), QStringLiteral("abc"), QStringLiteral("nan"), QStringLiteral("inf"),
                                QStringLiteral("1e999")}) {
        width->field()->setText(text);
        width->rowAction(width->field());
        EXPECT_DOUBLE_EQ(stroke->width(), 2) << text.toStdString();
        EXPECT_FALSE(f.undo.canUndo()) << text.toStdString();
        EXPECT_DOUBLE_EQ(width->field()->doubleValue(), 2);
    }

    // The tag angle is typed in degrees and kept in radians.
    StylePaneRowControl* angle = f.pane()->rowControl(QStringLiteral("tagAngle"));
    angle->field()->setText(QStringLiteral("90"));
    angle->rowAction(angle->field());
    EXPECT_NEAR(stroke->tagAngle(), std::numbers::pi / 2, 1e-12);
    stroke->setTagAngle(std::numbers::pi / 4);
    f.settle();
    EXPECT_NEAR(angle->field()->doubleValue(), 45, 1e-9);
}

TEST(StylePanes, RowsWithConditionsFollowTheValuesTheyDependOn)
{
    {
        auto pattern = std::make_shared<VXFillPattern>();
        pattern->setAutoTile(false);
        PaneFixture f(pattern);
        StylePaneRowControl* spacing = f.pane()->rowControl(QStringLiteral("interval"));
        EXPECT_TRUE(spacing->widget()->isEnabled());
        f.pane()->rowControl(QStringLiteral("autoTile"))->checkbox()->click();
        EXPECT_TRUE(pattern->autoTile());
        f.settle();
        EXPECT_FALSE(spacing->widget()->isEnabled());
    }
    {
        auto adornment = std::make_shared<VXImageAdornment>();
        adornment->setFittingOption(VXImageAdornment::kFitProportionally);
        PaneFixture f(adornment);
        StylePaneRowControl* scale = f.pane()->rowControl(QStringLiteral("scale"));
        EXPECT_FALSE(scale->widget()->isEnabled());
        f.pane()->rowControl(QStringLiteral("fittingOption"))->buttons()->button(VXImageAdornment::kScaleBy)->click();
        f.settle();
        EXPECT_TRUE(scale->widget()->isEnabled());
        EXPECT_TRUE(f.pane()->rowControl(QStringLiteral("fittingOption"))->buttons()->button(2)->isChecked());
        // The lock rule holds over the exception.
        adornment->style()->setLocked(true);
        f.settle();
        EXPECT_FALSE(scale->widget()->isEnabled());
    }
    {
        auto tagged = std::make_shared<VXQTaggedStroke>();
        PaneFixture f(tagged);
        auto* pane = dynamic_cast<VLTMStyleEditSub_VXQTaggedStroke*>(f.pane());
        EXPECT_FALSE(pane->syncToDashButton()->isEnabled());
        tagged->setDash(VXStrokeDash::dashWithPatternPhase({4, 2}));
        f.settle();
        EXPECT_TRUE(pane->syncToDashButton()->isEnabled());
        EXPECT_FALSE(pane->rowControl(QStringLiteral("tagTaperKind"))->widget()->isEnabled());
        tagged->setRightTagTaperEnabled(true);
        f.settle();
        EXPECT_TRUE(pane->rowControl(QStringLiteral("tagTaperKind"))->widget()->isEnabled());
    }
    {
        auto bridge = std::make_shared<VXQBridgeRasterizer>();
        bridge->setSizesAutomatically(false);
        PaneFixture f(bridge);
        auto* pane = dynamic_cast<StyleWidthMenuPane*>(f.pane());
        EXPECT_TRUE(pane->widthMenu()->isEnabled());
        f.pane()->rowControl(QStringLiteral("sizesAutomatically"))->checkbox()->click();
        EXPECT_TRUE(bridge->sizesAutomatically());
        for (const char* key : {"width", "bridgeWidth", "pierSize", "pierSpacing"})
            EXPECT_FALSE(pane->rowControl(QLatin1String(key))->widget()->isEnabled()) << key;
        EXPECT_FALSE(pane->widthMenu()->isEnabled());
        EXPECT_TRUE(pane->rowControl(QStringLiteral("colour"))->widget()->isEnabled());
    }
}

TEST(StylePanes, DashMenuAndShadowCheckboxWriteTheirValues)
{
    auto stroke = std::make_shared<VXStroke>();
    PaneFixture f(stroke);
    auto* pane = dynamic_cast<VLTMStyleEditSub_VXStroke*>(f.pane());
    DashMenu* dashes = pane->dashMenu();
    EXPECT_EQ(dashes->selectedItem()->tag(), DashMenu::kSolidTag);

    platform::MenuItem* registered = nullptr;
    for (QAction* action : dashes->dashMenu()->actions())
        if (auto* item = qobject_cast<platform::MenuItem*>(action); item && item->tag() == DashMenu::kDashTag)
            registered = registered ? registered : item;
    ASSERT_TRUE(registered);
    registered->trigger();
    const auto registeredDash = registered->representedObject().value<VXStrokeDashPtr>();
    ASSERT_TRUE(stroke->dash());
    EXPECT_TRUE(stroke->dash()->isEqualToDash(registeredDash.get()));
    EXPECT_NE(stroke->dash(), registeredDash) << "the stroke edits a dash of its own";
    EXPECT_EQ(f.undo.undoActionName(), QStringLiteral("Stroke Dash"));
    f.settle();
    EXPECT_EQ(dashes->selectedItem(), registered);
    // A dash of no length draws solid and shows as such.
    stroke->setDash(VXStrokeDash::dashWithPatternPhase({0, 0}));
    f.settle();
    EXPECT_EQ(dashes->selectedItem()->tag(), DashMenu::kSolidTag);
    stroke->setDash(VXStrokeDash::dashWithPatternPhase({7, 1, 1, 1}));
    f.settle();
    EXPECT_EQ(dashes->selectedItem()->tag(), DashMenu::kCustomTag);
    f.forgetEdits();

    QCheckBox* shadow = pane->shadowControls()->checkbox();
    shadow->click();
    ASSERT_TRUE(stroke->shadow());
    EXPECT_EQ(stroke->shadow()->offset(), VXStyle::defaultShadow()->offset());
    EXPECT_EQ(f.undo.undoActionName(), QStringLiteral("Stroke Shadow"));
    f.settle();
    EXPECT_TRUE(shadow->isChecked());
    shadow->click();
    EXPECT_FALSE(stroke->shadow());
}

TEST(StylePanes, TheShadowPaneEditsTheOffsetAsADirectionAndADistance)
{
    using Shadow = VLTMStyleEditSub_NSShadow;
    const Shadow::Polar down = Shadow::polarForOffset(QSizeF(0, 5), false);
    EXPECT_DOUBLE_EQ(down.angleInDegrees, 180);
    EXPECT_DOUBLE_EQ(down.distance, 5);
    EXPECT_DOUBLE_EQ(Shadow::polarForOffset(QSizeF(0, 5), true).angleInDegrees, 0);
    EXPECT_DOUBLE_EQ(Shadow::polarForOffset(QSizeF(-3, -4), false).angleInDegrees, 360 - std::atan2(3, 4) * 180 / std::numbers::pi);
    const QSizeF written = Shadow::offsetForPolar({180, 5}, false);
    EXPECT_NEAR(written.width(), 0, 1e-12);
    EXPECT_NEAR(written.height(), 5, 1e-12);
    EXPECT_NEAR(Shadow::offsetForPolar({180, 5}, true).height(), -5, 1e-12);
    for (double angle : {0.0, 45.0, 135.0, 270.0, 359.0}) {
        const Shadow::Polar back = Shadow::polarForOffset(Shadow::offsetForPolar({angle, 7}, false), false);
        EXPECT_NEAR(std::fmod(back.angleInDegrees, 360), angle, 1e-9);
        EXPECT_NEAR(back.distance, 7, 1e-9);
    }

    // The sub-pane writes a changed copy through the fill's "shadow", bracketed by its notifications.
    auto fill = std::make_shared<VXFill>();
    const VXShadowPtr original = VXShadow::shadowWithOffsetBlurRadiusColour({0, 5}, 2, Qt::black);
    fill->setShadow(original);
    PaneFixture f(fill);
    auto* pane = dynamic_cast<VLTMStyleEditSub_VXFill*>(f.pane());
    Shadow* editor = pane->shadowControls()->shadowEditor();
    EXPECT_EQ(editor->angleSlider()->value(), 180);
    EXPECT_EQ(editor->offsetSlider()->value(), 5);
    EXPECT_TRUE(editor->angleSlider()->isEnabled());
    QStringList posted;
    QObject receiver;
    for (const QString& name : {kVLTMShadowWillChangeNotification, kVLTMShadowDidChangeNotification})
        platform::NotificationCenter::defaultCenter().addObserver(
            &receiver, name, editor, [&posted](const platform::Notification& n) { posted.append(n.name); });
    editor->angleSlider()->setValue(90);
    EXPECT_NEAR(fill->shadow()->offset().width(), 5, 1e-9);
    EXPECT_NEAR(fill->shadow()->offset().height(), 0, 1e-9);
    EXPECT_EQ(original->offset(), QSizeF(0, 5)) << "the shown shadow is not changed in place";
    EXPECT_EQ(posted, (QStringList{kVLTMShadowWillChangeNotification, kVLTMShadowDidChangeNotification}));
    EXPECT_EQ(f.undo.undoActionName(), QStringLiteral("Fill Shadow"));
    f.endStep();
    f.undo.undo();
    EXPECT_EQ(fill->shadow(), original);

    // Without a shadow the sub-pane is off and shows the clear colour.
    pane->shadowControls()->checkbox()->click();
    f.settle();
    EXPECT_FALSE(fill->shadow());
    EXPECT_FALSE(editor->angleSlider()->isEnabled());
    EXPECT_EQ(editor->colourWell()->color().alpha(), 0);
}

TEST(StylePanes, TheArrowViewsHandleResizesTheHead)
{
    auto arrow = std::make_shared<VXArrowStroke>();
    arrow->setWidth(4);
    arrow->setArrowHeadAtStart(VXArrowStroke::kArrowHeadNone);
    arrow->setArrowHeadAtEnd(VXArrowStroke::kArrowHeadStandard);
    PaneFixture f(arrow);
    auto* pane = dynamic_cast<VLTMStyleEditSub_VXArrowStroke*>(f.pane());
    VXQArrowView* view = pane->arrowView();
    view->resize(200, 60);
    view->updateArrow();
    EXPECT_TRUE(view->showsHeadDragOnRight());
    const QRectF handle = view->headAdjustmentTarget();
    EXPECT_DOUBLE_EQ(handle.center().y(), 30 - arrow->arrowHeadWidth() / 2);
    EXPECT_DOUBLE_EQ(handle.center().x(), 200 - 8 - arrow->trimLengthForKind(VXArrowStroke::kArrowHeadStandard));
    // Below the centre line the head is as wide as the stroke.
    EXPECT_EQ(view->headSizeForPoint({150, 45}), QSizeF(42, 4));

    QTest::mousePress(view, Qt::LeftButton, {}, handle.center().toPoint());
    QTest::mouseMove(view, QPoint(160, 20));
    QTest::mouseRelease(view, Qt::LeftButton, {}, QPoint(160, 20));
    EXPECT_DOUBLE_EQ(arrow->arrowHeadLength(), 32);
    EXPECT_DOUBLE_EQ(arrow->arrowHeadWidth(), 20);
    EXPECT_EQ(f.undo.undoActionName(), QStringLiteral("Arrow Head Width"));

    // Heads at both ends, or only at the start: the handle is on the left.
    arrow->setArrowHeadAtStart(VXArrowStroke::kArrowHeadRound);
    f.settle();
    EXPECT_FALSE(view->showsHeadDragOnRight());
    // Locked, the view shows no handle and ignores the mouse.
    arrow->style()->setLocked(true);
    f.settle();
    EXPECT_FALSE(view->isHandleEnabled());
    const QRectF left = view->headAdjustmentTarget();
    QTest::mousePress(view, Qt::LeftButton, {}, left.center().toPoint());
    QTest::mouseMove(view, QPoint(60, 5));
    EXPECT_DOUBLE_EQ(arrow->arrowHeadWidth(), 20);
}

TEST(StylePanes, TilingImagesComeFromReadableFilesOnly)
{
    auto tiling = std::make_shared<VXTilingFill>();
    PaneFixture f(tiling);
    auto* pane = dynamic_cast<VLTMStyleEditSub_VXTilingFill*>(f.pane());
    ImageSourceControls* controls = pane->imageControls();
    QTemporaryDir dir;
    const auto write = [&](const QString& name, const QByteArray& bytes) {
        QFile file(dir.filePath(name));
        file.open(QIODevice::WriteOnly);
        file.write(bytes);
        return file.fileName();
    };
    QByteArray png;
    {
        QImage image(6, 4, QImage::Format_ARGB32);
        image.fill(Qt::red);
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        image.save(&buffer, "PNG");
    }
    for (const QString& bad : {write(QStringLiteral("empty.png"), {}), write(QStringLiteral("bad.png"), png.left(20)),
                               write(QStringLiteral("text.png"), "not an image"), dir.filePath(QStringLiteral("none.png")),
                               dir.path()}) {
        controls->takeImageFile(bad);
        EXPECT_TRUE(tiling->image().isNull()) << bad.toStdString();
        EXPECT_FALSE(f.undo.canUndo()) << bad.toStdString();
    }
    controls->takeImageFile(write(QStringLiteral("good.png"), png));
    EXPECT_EQ(tiling->image().size(), QSize(6, 4));
    EXPECT_EQ(f.undo.undoActionName(), QStringLiteral("Change Tiling Image"));
    f.endStep();
    f.undo.undo();
    EXPECT_TRUE(tiling->image().isNull());

    // The other image panes decode the file themselves, under the same limits.
    EXPECT_TRUE(ImageSourceControls::decodedImage(png.left(30)).isNull());
    EXPECT_EQ(ImageSourceControls::decodedImage(png).size(), QSize(6, 4));
}

} // namespace
