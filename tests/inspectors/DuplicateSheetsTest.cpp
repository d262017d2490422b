// The linear and polar duplicate sheets: what enables OK, what reaches the delegate, and
// sampling the polar centre with the mouse, down to a map document's own window.

#include "app/document/QuorvaneDocumentController.h"
#include "app/document/VXQMappingLayer.h"
#include "app/document/ZQQuorvaneDocument.h"
#include "inspectors/duplicate/ZQLinearDuplicateController.h"
#include "inspectors/duplicate/ZQPolarDuplicateController.h"
#include "platform/foundation/RunLoop.h"
#include "platform/foundation/ZQUndoManager.h"
#include "platform/ui/DocumentController.h"
#include "platform/ui/WindowController.h"
#include "platform/vantrix/drawables/VXDrawablePath.h"
#include "platform/vantrix/model/VXGridLayer.h"
#include "platform/vantrix/view/VXDrawingView.h"
#include "tracks/model/VXQTrack.h"
#include "tracks/styles/FactoryTrackStyles.h"

#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QLineEdit>
#include <QMainWindow>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

namespace {

// Records what the sheets hand over, as text.
struct RecordingDelegate : LinearDuplicateDelegate, PolarDuplicateDelegate {
    int selected = 1;
    bool locates = true;
    QStringList calls;
    QList<bool> snaps;

    void doLinearDuplicateCopiesOffset(int copies, QSizeF offset) override
    {
        calls << QStringLiteral("linear %1 %2,%3").arg(copies).arg(offset.width()).arg(offset.height());
    }
    // Offsets in centimetres.
    QString unitsStringForOffsetUnits() const override { return QStringLiteral("cm"); }
    double unitsConversionFactorForOffsetUnits() const override { return 72 / 2.54; }
    int countOfItemsInSelection() const override { return selected; }
    void doPolarDuplicateCopiesCentreIncAngleRotateCopies(int copies, QPointF centre, double angle, bool rotate) override
    {
        calls << QStringLiteral("polar %1 %2,%3 %4 %5").arg(copies).arg(centre.x()).arg(centre.y()).arg(angle).arg(rotate);
    }
    void doAutoPolarDuplicateWithCentre(QPointF centre) override
    {
        calls << QStringLiteral("auto %1,%2").arg(centre.x()).arg(centre.y());
    }
    bool locatesGridPoints() const override { return locates; }
    // A tenth of the screen position.
    QPointF gridPointForPointInWindowSnapToGrid(QPointF point, QWidget* window, bool snap) override
    {
        snaps << snap;
        return window->mapToGlobal(point) / 10;
    }
};

void type(QLineEdit* field, const QString& text)
{
    field->selectAll();
    field->del();
    QTest::keyClicks(field, text);
}

void sendMouse(QWidget* to, QEvent::Type type, QPoint global, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent event(type, to->mapFromGlobal(QPointF(global)), QPointF(global), button,
                      type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::MouseButtons(button), modifiers);
    QApplication::sendEvent(to, &event);
}

// A new map in a document controller of its own.
ZQQuorvaneDocument* openUntitledMap()
{
    platform::DocumentController::setSharedDocumentController(std::make_unique<QuorvaneDocumentController>());
    QuorvaneError error;
    return qobject_cast<ZQQuorvaneDocument*>(
        platform::DocumentController::sharedDocumentController()->openUntitledDocumentAndDisplayError(true, &error));
}

} // namespace

TEST(LinearDuplicateSheet, OKNeedsAWholeCountInRangeAndNumericOffsets)
{
    RecordingDelegate delegate;
    ZQLinearDuplicateController sheet;
    sheet.beginLinearDuplicationDialogLinearDelegate(nullptr, &delegate);
    EXPECT_FALSE(sheet.okButton()->isEnabled()); // empty fields

    type(sheet.xOffsetField(), QStringLiteral("1.5"));
    type(sheet.yOffsetField(), QStringLiteral("-2"));
    for (const QString& bad : {QString(), QStringLiteral("0"), QStringLiteral("-3"), QStringLiteral("2.5"),
                               QStringLiteral("10001"), QStringLiteral("3x"), QStringLiteral("many")}) {
        type(sheet.copiesField(), bad);
        EXPECT_FALSE(sheet.okButton()->isEnabled()) << qPrintable(bad);
        sheet.okAction();
    }
    EXPECT_TRUE(sheet.sheet()->isVisible());
    type(sheet.copiesField(), QStringLiteral("10000"));
    EXPECT_TRUE(sheet.okButton()->isEnabled());
    type(sheet.yOffsetField(), QStringLiteral("down"));
    EXPECT_FALSE(sheet.okButton()->isEnabled());
    type(sheet.yOffsetField(), QStringLiteral("-2"));
    type(sheet.copiesField(), QStringLiteral("3"));
    sheet.okButton()->click();
    EXPECT_FALSE(sheet.sheet()->isVisible());
    EXPECT_EQ(delegate.calls, QStringList{QStringLiteral("linear 3 1.5,-2")});

    // The next run keeps the fields; Cancel hands nothing over.
    sheet.beginLinearDuplicationDialogLinearDelegate(nullptr, &delegate);
    EXPECT_EQ(sheet.copiesField()->text(), QStringLiteral("3"));
    EXPECT_TRUE(sheet.okButton()->isEnabled());
    sheet.cancelAction();
    EXPECT_EQ(delegate.calls.size(), 1);
}

TEST(LinearDuplicateSheet, OffsetsShowTheDrawingUnitAndTakeTypedUnits)
{
    RecordingDelegate delegate;
    ZQLinearDuplicateController sheet;
    sheet.beginLinearDuplicationDialogLinearDelegate(nullptr, &delegate);
    EXPECT_EQ(sheet.xOffsetUnitsField()->text(), QStringLiteral("cm"));
    EXPECT_EQ(sheet.yOffsetUnitsField()->text(), QStringLiteral("cm"));
    type(sheet.copiesField(), QStringLiteral("2"));
    type(sheet.xOffsetField(), QStringLiteral("1 cm"));
    type(sheet.yOffsetField(), QStringLiteral("5mm"));
    ASSERT_TRUE(sheet.okButton()->isEnabled());
    sheet.okButton()->click();
    type(sheet.xOffsetField(), QStringLiteral("1in"));
    type(sheet.yOffsetField(), QStringLiteral("30"));
    sheet.beginLinearDuplicationDialogLinearDelegate(nullptr, &delegate);
    sheet.okButton()->click();
    EXPECT_EQ(delegate.calls, (QStringList{QStringLiteral("linear 2 1,0.5"), QStringLiteral("linear 2 2.54,30")}));

    type(sheet.yOffsetField(), QStringLiteral("3 parsecs"));
    EXPECT_FALSE(sheet.okButton()->isEnabled());
}

TEST(PolarDuplicateSheet, StartsAtSevenCopiesAndTheAngleFollowsTheCount)
{
    RecordingDelegate delegate;
    ZQPolarDuplicateController sheet;
    sheet.beginPolarDuplicationDialogPolarDelegate(nullptr, &delegate);
    EXPECT_EQ(sheet.copiesField()->text(), QStringLiteral("7"));
    EXPECT_EQ(sheet.angleIncrementField()->text(), QStringLiteral("45"));
    EXPECT_TRUE(sheet.rotateCopiesCheckbox()->isChecked());
    EXPECT_FALSE(sheet.okButton()->isEnabled()); // no centre yet

    type(sheet.copiesField(), QStringLiteral("3"));
    EXPECT_EQ(sheet.angleIncrementField()->text(), QStringLiteral("90"));
    type(sheet.copiesField(), QStringLiteral("6"));
    EXPECT_EQ(sheet.angleIncrementField()->text(), QStringLiteral("51.429"));
    // A count that is no count leaves the angle alone (-1 would divide by zero) and OK off.
    type(sheet.copiesField(), QStringLiteral("-1"));
    EXPECT_EQ(sheet.angleIncrementField()->text(), QStringLiteral("51.429"));
    type(sheet.centreXField(), QStringLiteral("12.5"));
    type(sheet.centreYField(), QStringLiteral("4"));
    EXPECT_FALSE(sheet.okButton()->isEnabled());
    type(sheet.copiesField(), QStringLiteral("3"));
    type(sheet.angleIncrementField(), QStringLiteral("a lot"));
    EXPECT_FALSE(sheet.okButton()->isEnabled());
    type(sheet.angleIncrementField(), QStringLiteral("30"));
    sheet.rotateCopiesCheckbox()->setChecked(false);
    ASSERT_TRUE(sheet.okButton()->isEnabled());
    sheet.okButton()->click();
    EXPECT_EQ(delegate.calls, QStringList{QStringLiteral("polar 3 12.5,4 30 0")});

    // Each run starts over, the centre apart.
    sheet.beginPolarDuplicationDialogPolarDelegate(nullptr, &delegate);
    EXPECT_EQ(sheet.copiesField()->text(), QStringLiteral("7"));
    EXPECT_TRUE(sheet.rotateCopiesCheckbox()->isChecked());
    EXPECT_EQ(sheet.centreXField()->text(), QStringLiteral("12.5"));
    sheet.cancelAction();
}

TEST(PolarDuplicateSheet, AutoFitIsOfferedForOneObjectAndSetsTheManualFieldsAside)
{
    RecordingDelegate delegate;
    delegate.selected = 2;
    ZQPolarDuplicateController sheet;
    sheet.beginPolarDuplicationDialogPolarDelegate(nullptr, &delegate);
    EXPECT_FALSE(sheet.autoFitCircleCheckbox()->isEnabled());
    sheet.cancelAction();

    delegate.selected = 1;
    sheet.beginPolarDuplicationDialogPolarDelegate(nullptr, &delegate);
    ASSERT_TRUE(sheet.autoFitCircleCheckbox()->isEnabled());
    sheet.rotateCopiesCheckbox()->setChecked(false);
    sheet.autoFitCircleCheckbox()->click();
    EXPECT_FALSE(sheet.copiesField()->isEnabled());
    EXPECT_FALSE(sheet.angleIncrementField()->isEnabled());
    EXPECT_FALSE(sheet.rotateCopiesCheckbox()->isEnabled());
    EXPECT_TRUE(sheet.rotateCopiesCheckbox()->isChecked());
    // The manual fields no longer count.
    type(sheet.centreXField(), QStringLiteral("1"));
    type(sheet.centreYField(), QStringLiteral("2"));
    sheet.copiesField()->setText(QStringLiteral("0"));
    ASSERT_TRUE(sheet.okButton()->isEnabled());
    sheet.okButton()->click();
    EXPECT_EQ(delegate.calls, QStringList{QStringLiteral("auto 1,2")});

    // A later run with two objects turns the fit off rather than ask for one object.
    delegate.selected = 2;
    sheet.beginPolarDuplicationDialogPolarDelegate(nullptr, &delegate);
    EXPECT_FALSE(sheet.autoFitCircleCheckbox()->isChecked());
    EXPECT_TRUE(sheet.copiesField()->isEnabled());
    sheet.duplicateAction();
    EXPECT_EQ(delegate.calls.last(), QStringLiteral("polar 7 1,2 45 1"));
}

TEST(PolarDuplicateSheet, SamplingFillsTheCentreFromAClickAwayFromTheSheet)
{
    RecordingDelegate delegate;
    ZQPolarDuplicateController sheet;
    sheet.beginPolarDuplicationDialogPolarDelegate(nullptr, &delegate);
    QDialog* dialog = sheet.sheet();
    const QPoint away = dialog->frameGeometry().bottomRight() + QPoint(300, 200);
    const QPoint inside = dialog->frameGeometry().center();

    sheet.sampleModeButton()->click();
    ASSERT_TRUE(sheet.isSampling());
    EXPECT_TRUE(sheet.sampleModeButton()->isChecked());
    EXPECT_FALSE(sheet.okButton()->isEnabled());
    sendMouse(dialog, QEvent::MouseMove, away - QPoint(50, 50));
    EXPECT_EQ(sheet.centreXField()->text(), QString::number((away.x() - 50) / 10.0));
    sendMouse(dialog, QEvent::MouseButtonPress, away);
    sendMouse(dialog, QEvent::MouseButtonRelease, away);
    EXPECT_FALSE(sheet.isSampling());
    EXPECT_FALSE(sheet.sampleModeButton()->isChecked());
    EXPECT_EQ(sheet.centreXField()->text(), QString::number(away.x() / 10.0));
    EXPECT_EQ(sheet.centreYField()->text(), QString::number(away.y() / 10.0));
    EXPECT_TRUE(sheet.okButton()->isEnabled());
    EXPECT_EQ(delegate.snaps.last(), false);

    // Control snaps.
    sheet.sampleModeButton()->click();
    sendMouse(dialog, QEvent::MouseButtonRelease, away, Qt::MetaModifier);
    EXPECT_EQ(delegate.snaps.last(), true);

    // Releasing over the sheet, a key, or the button again end it without a point.
    sheet.sampleModeButton()->click();
    sendMouse(dialog, QEvent::MouseButtonRelease, inside);
    EXPECT_FALSE(sheet.isSampling());
    EXPECT_TRUE(sheet.centreXField()->text().isEmpty());
    EXPECT_FALSE(sheet.okButton()->isEnabled());
    sheet.updateSampleModeAtGridPoint({1, 2});
    sheet.sampleModeButton()->click();
    QTest::keyClick(dialog, Qt::Key_Escape);
    EXPECT_FALSE(sheet.isSampling());
    EXPECT_TRUE(dialog->isVisible()); // the key ended sampling, not the sheet
    EXPECT_TRUE(sheet.centreYField()->text().isEmpty());
    sheet.sampleModeButton()->click();
    sheet.sampleModeButton()->click();
    EXPECT_FALSE(sheet.isSampling());

    // Without a delegate that locates points there is nothing to sample.
    delegate.locates = false;
    sheet.sampleModeButton()->click();
    EXPECT_FALSE(sheet.isSampling());
    EXPECT_FALSE(sheet.sampleModeButton()->isChecked());
    sheet.cancelAction();
    EXPECT_TRUE(delegate.calls.isEmpty());
}

// The whole path in a map window: the menu command opens the sheet on the window, a click
// in the drawing picks the centre in grid units, and the copies go round it.
TEST(PolarDuplicateSheet, AClickInTheDocumentWindowPicksTheCentreInGridUnits)
{
    ZQQuorvaneDocument* document = openUntitledMap();
    ASSERT_TRUE(document);
    QWidget* window = document->windowForSheet();
    window->resize(900, 700);
    window->show();
    platform::RunLoop::runUntilIdle();
    auto* layer = dynamic_cast<VXObjectDrawingLayer*>(document->activeLayer());
    auto square = VXDrawablePath::drawablePathWithBezierPath(platform::BezierPath::bezierPathWithRect({100, 100, 10, 10}));
    layer->addObject(square);
    layer->replaceSelectionWithObject(square);

    document->drawing()->setSnapsToGrid(false);
    document->polarDuplicate(nullptr);
    auto* dialog = window->findChild<QDialog*>(QStringLiteral("QuorvanePolarDuplicateDialog"));
    ASSERT_TRUE(dialog);
    ASSERT_TRUE(dialog->isVisible());
    auto* sheet = qobject_cast<ZQPolarDuplicateController*>(platform::WindowController::controllerForWindow(dialog));
    ASSERT_TRUE(sheet);
    sheet->sampleModeButton()->click();

    // Click a drawing point away from the sheet.
    VXDrawingView* view = document->mainView();
    const QPointF drawingPoint(150, 120);
    const QPoint global = view->viewport()->mapToGlobal(view->convertPointFromDrawing(drawingPoint)).toPoint();
    ASSERT_FALSE(dialog->frameGeometry().contains(global));
    sendMouse(dialog, QEvent::MouseButtonRelease, global);
    const QPointF expected = document->drawing()->gridLayer()->gridLocationForPoint(drawingPoint);
    // Within the pixel the click lands on.
    const double pixel = document->drawing()->gridLayer()->gridDistanceForQuartzDistance(1 / view->scale());
    EXPECT_NEAR(sheet->centreXField()->text().toDouble(), expected.x(), pixel + 0.01);
    EXPECT_NEAR(sheet->centreYField()->text().toDouble(), expected.y(), pixel + 0.01);
    sheet->okButton()->click();
    document->undoManager()->closeAutomaticGroup();
    EXPECT_EQ(document->undoManager()->undoActionName(), QStringLiteral("Polar Duplication"));
    EXPECT_EQ(layer->countOfSelection(), 7);

    platform::DocumentController::sharedDocumentController()->closeAllDocuments();
    platform::RunLoop::runUntilIdle();
}

TEST(LinearDuplicateSheet, RoadCopiesCloseTogetherEachKeepTheirOwnOffset)
{
    ZQQuorvaneDocument* document = openUntitledMap();
    ASSERT_TRUE(document);
    QWidget* window = document->windowForSheet();
    window->show();
    platform::RunLoop::runUntilIdle();
    auto* layer = dynamic_cast<VXObjectDrawingLayer*>(document->activeLayer());
    ASSERT_TRUE(layer);
    platform::BezierPath line;
    line.moveToPoint({100, 200});
    line.lineToPoint({300, 200});
    const VXQTrackPtr road = VXQTrack::trackWithPathType(line, kVXQRoadTrackType);
    road->setStyle(factoryStyleForTrackType(kVXQRoadTrackType));
    layer->addObject(road);
    layer->replaceSelectionWithObject(road);
    const qsizetype before = layer->countOfObjects();
    document->undoManager()->closeAutomaticGroup();

    const auto duplicate = [&](const QString& copies, const QString& x) {
        document->linearDuplicate(nullptr);
        auto* dialog = window->findChild<QDialog*>(QStringLiteral("QuorvaneLinearDuplicateDialog"));
        ASSERT_TRUE(dialog && dialog->isVisible());
        auto* sheet = qobject_cast<ZQLinearDuplicateController*>(platform::WindowController::controllerForWindow(dialog));
        ASSERT_TRUE(sheet);
        type(sheet->copiesField(), copies);
        type(sheet->xOffsetField(), x);
        type(sheet->yOffsetField(), QStringLiteral("0"));
        sheet->okButton()->click();
        platform::RunLoop::runUntilIdle();
        document->undoManager()->closeAutomaticGroup();
    };
    // Copy k lies k offsets along, whole, in the road's own layer.
    const auto copiesLieAlong = [&](double offset, qsizetype count) {
        const QList<VXDrawableObjectPtr> copies = layer->selection();
        EXPECT_EQ(copies.size(), count);
        QList<double> starts;
        for (const VXDrawableObjectPtr& copy : copies) {
            const auto* track = qobject_cast<VXQTrack*>(copy.get());
            ASSERT_TRUE(track);
            EXPECT_NEAR(track->length(), 200, 1e-6);
            EXPECT_NEAR(track->endPoint(VXQTrackEnd::Start).y(), 200, 1e-9);
            starts.append(track->endPoint(VXQTrackEnd::Start).x());
        }
        std::sort(starts.begin(), starts.end());
        for (int k = 1; k <= int(starts.size()); ++k)
            EXPECT_NEAR(starts[k - 1], 100 + k * offset, 1e-6) << k;
    };

    const double mm = 72 / 25.4;
    duplicate(QStringLiteral("20"), QStringLiteral("1.2 mm"));
    EXPECT_EQ(layer->countOfObjects(), before + 20);
    copiesLieAlong(1.2 * mm, 20);
    EXPECT_EQ(document->undoManager()->undoActionName(), QStringLiteral("Linear Duplication"));
    document->undoManager()->undo();
    EXPECT_EQ(layer->countOfObjects(), before);
    document->undoManager()->redo();
    EXPECT_EQ(layer->countOfObjects(), before + 20);
    copiesLieAlong(1.2 * mm, 20);
    // Ends laid on ends join: copies a road's length apart continue one another.
    document->undoManager()->undo();
    layer->replaceSelectionWithObject(road);
    duplicate(QStringLiteral("3"), QStringLiteral("200 pt"));
    copiesLieAlong(200, 3);
    QList<VXDrawableObjectPtr> chain = layer->selection();
    std::sort(chain.begin(), chain.end(), [](const VXDrawableObjectPtr& a, const VXDrawableObjectPtr& b) {
        return a->bounds().left() < b->bounds().left();
    });
    // Each meeting is one link, made from one side.
    VXQTrack* previous = road.get();
    for (const VXDrawableObjectPtr& copy : chain) {
        auto* track = qobject_cast<VXQTrack*>(copy.get());
        EXPECT_NE(track->startLink() == previous, previous->endLink() == track);
        previous = track;
    }
    EXPECT_EQ(previous->endLink(), nullptr);

    window->hide();
    platform::DocumentController::sharedDocumentController()->closeAllDocuments();
    platform::RunLoop::runUntilIdle();
}
