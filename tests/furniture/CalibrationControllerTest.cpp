#include "furniture/calibration/QVNCalibrationController.h"
#include "platform/vantrix/DrawingTestSupport.h"

#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <gtest/gtest.h>

namespace {

VXQMapScalePtr scaleOf(double reference, const ZQUnitLengthPtr& referenceUnit, double represented,
                       const ZQUnitLengthPtr& representedUnit)
{
    return VXQMapScale::makeWithReferenceMeasurementRepresentedMeasurement(
        ZQMeasurement::make(reference, referenceUnit), ZQMeasurement::make(represented, representedUnit));
}

VXQMapScalePtr fourCentimetresToOneKilometre()
{
    return scaleOf(4, ZQUnitLength::centimeters(), 1, ZQUnitLength::kilometers());
}

void expectScale(const VXQMapScalePtr& scale, double reference, const QString& referenceUnit, double represented,
                 const QString& representedUnit)
{
    ASSERT_TRUE(scale);
    EXPECT_NEAR(scale->referenceMeasurement()->value(), reference, 1e-9);
    EXPECT_EQ(scale->referenceMeasurement()->unit()->symbol(), referenceUnit);
    EXPECT_NEAR(scale->representedMeasurement()->value(), represented, 1e-9);
    EXPECT_EQ(scale->representedMeasurement()->unit()->symbol(), representedUnit);
}

struct FakeDelegate : QVNCalibrationDelegate {
    VXQMapScalePtr current = fourCentimetresToOneKilometre();
    QList<VXQMapScalePtr> received;
    bool offersDrawingSetUp = false;
    int drawingSetUpsOpened = 0;

    VXQMapScalePtr mapScale() const override { return current; }
    void setMapScale(const VXQMapScalePtr& scale) override
    {
        received.append(scale);
        current = scale;
    }
    bool canOpenDrawingSizePanel() const override { return offersDrawingSetUp; }
    void openDrawingSizePanel(QObject*) override { ++drawingSetUpsOpened; }
};

// The sheet open on a window for a fake delegate.
struct OpenSheet {
    QWidget window;
    FakeDelegate delegate;
    std::shared_ptr<QVNCalibrationController> controller = std::make_shared<QVNCalibrationController>();

    explicit OpenSheet(VXQMapScalePtr scale = fourCentimetresToOneKilometre())
    {
        delegate.current = std::move(scale);
        window.show();
        controller->beginDialogOnParentWindowCalibrationDelegate(&window, &delegate);
    }

    void type(QLineEdit* field, const QString& text)
    {
        field->setText(text);
        field->setModified(true);
        Q_EMIT field->editingFinished();
    }
    void pickScale(qint64 tag)
    {
        QComboBox* popUp = controller->mapScalePopUpButton();
        popUp->setCurrentIndex(popUp->findData(QVariant(tag), QVNCalibrationController::kTagRole));
        controller->mapScalePickerAction(popUp);
    }
    void pickUnits(const QString& fullName)
    {
        QComboBox* popUp = controller->mapUnitsPopUpButton();
        popUp->setCurrentIndex(popUp->findText(fullName));
        controller->mapUnitsPickerAction(popUp);
    }
    qint64 selectedTag() const
    {
        return controller->mapScalePopUpButton()->currentData(QVNCalibrationController::kTagRole).toLongLong();
    }
};

} // namespace

TEST(CalibrationController, ThePopUpSelectsThePresetOfTheRatioOrTitlesTheCustomItem)
{
    OpenSheet sheet;
    EXPECT_EQ(sheet.selectedTag(), 25000);
    EXPECT_EQ(sheet.controller->mapUnitsPopUpButton()->currentText(), QStringLiteral("kilometres"));
    EXPECT_EQ(sheet.controller->sampleMeasureTextField()->text(), QStringLiteral("4 cm"));
    EXPECT_EQ(sheet.controller->mapMeasureTextField()->text(), QStringLiteral("1 km"));
    EXPECT_EQ(sheet.controller->mapLegendPreviewTextLabel()->text(), fourCentimetresToOneKilometre()->stringValue());
    for (qint64 ratio : QVNCalibrationController::presetScales())
        EXPECT_GE(sheet.controller->mapScalePopUpButton()->findData(QVariant(ratio), QVNCalibrationController::kTagRole), 0);

    // 1 cm : 123.456 m is 1:12345.6, which no preset has.
    sheet.controller->setMapScale(scaleOf(1, ZQUnitLength::centimeters(), 123.456, ZQUnitLength::meters()));
    QComboBox* popUp = sheet.controller->mapScalePopUpButton();
    EXPECT_EQ(sheet.selectedTag(), QVNCalibrationController::kCustomScaleTag);
    EXPECT_EQ(popUp->currentText(), QStringLiteral("Custom (1:12345)"));
    EXPECT_NEAR(popUp->currentData(QVNCalibrationController::kRepresentedObjectRole).toDouble(), 12345.6, 1e-3);
    // Chosen again, the custom item brings its ratio back.
    sheet.pickScale(25000);
    const int custom = popUp->findData(QVariant(qint64(QVNCalibrationController::kCustomScaleTag)),
                                       QVNCalibrationController::kTagRole);
    popUp->setCurrentIndex(custom);
    sheet.controller->mapScalePickerAction(popUp);
    EXPECT_NEAR(sheet.controller->mapScale()->scale(), 12345.6, 0.01);
}

TEST(CalibrationController, AWholeRatioSelectsItsPresetWhateverTheUnitsAndStorageAddToIt)
{
    // Converted through metres, feet or miles, a preset's ratio lands a hair off its whole number.
    for (const ZQUnitLengthPtr& ground : {ZQUnitLength::meters(), ZQUnitLength::feet(), ZQUnitLength::miles(),
                                          ZQUnitLength::kilometers()}) {
        OpenSheet sheet(scaleOf(1, ZQUnitLength::inches(), 1, ground));
        for (qint64 ratio : QVNCalibrationController::presetScales()) {
            sheet.pickScale(ratio);
            EXPECT_EQ(sheet.selectedTag(), ratio) << ratio << " on " << qPrintable(ground->symbol());
        }
    }
    // A side kept in single precision: 0.7 km is 0.69999999 km, still 1:70,000.
    OpenSheet sheet(scaleOf(1, ZQUnitLength::centimeters(), double(0.7f), ZQUnitLength::kilometers()));
    EXPECT_LT(sheet.controller->mapScale()->scale(), 70000);
    EXPECT_EQ(sheet.controller->mapScalePopUpButton()->currentText(), QStringLiteral("Custom (1:70000)"));
    // A fraction larger than arithmetic leaves is still dropped.
    sheet.controller->setMapScale(scaleOf(1, ZQUnitLength::centimeters(), 24.9999, ZQUnitLength::meters()));
    EXPECT_EQ(sheet.controller->mapScalePopUpButton()->currentText(), QStringLiteral("Custom (1:2499)"));
}

TEST(CalibrationController, EveryEditPostsOnceAndReachesTheDelegateAndCancelRestores)
{
    OpenSheet sheet;
    drawingtest::NotificationRecorder posted(kQVNCalibrationControllerDidChangeMapScale, sheet.controller.get());
    const VXQMapScalePtr opening = sheet.delegate.current;

    // A preset normalizes: 1 cm : 0.5 km becomes 2 cm : 1 km.
    sheet.pickScale(50000);
    expectScale(sheet.delegate.current, 2, "cm", 1, "km");
    EXPECT_EQ(posted.received.size(), 1);
    // A typed ground length keeps the map length and changes the ratio.
    sheet.type(sheet.controller->mapMeasureTextField(), QStringLiteral("3 km"));
    expectScale(sheet.delegate.current, 2, "cm", 3, "km");
    EXPECT_NEAR(sheet.delegate.current->scale(), 150000, 1e-6);
    EXPECT_EQ(posted.received.size(), 2);
    // Other ground units keep the ratio.
    sheet.pickUnits(QStringLiteral("metres"));
    expectScale(sheet.delegate.current, 2, "cm", 3000, "m");
    EXPECT_EQ(posted.received.size(), 3);
    EXPECT_EQ(sheet.delegate.received.size(), 3);
    EXPECT_TRUE(sheet.controller->originalScale()->isEqualToMapScale(opening.get()));

    sheet.controller->cancelAction();
    ASSERT_EQ(sheet.delegate.received.size(), 4);
    EXPECT_TRUE(sheet.delegate.received.last()->isEqualToMapScale(opening.get()));
    EXPECT_FALSE(sheet.controller->originalScale());
    EXPECT_FALSE(sheet.controller->sheet()->isVisible());
    EXPECT_EQ(posted.received.size(), 3);
}

TEST(CalibrationController, OkKeepsTheLastScaleAndTakesALengthStillBeingTyped)
{
    OpenSheet sheet;
    sheet.controller->setNumeratorFieldEnabled(true);
    sheet.type(sheet.controller->sampleMeasureTextField(), QStringLiteral("2"));
    expectScale(sheet.delegate.current, 2, "cm", 1, "km");
    // Typed but not yet left: OK takes it.
    sheet.controller->mapMeasureTextField()->setText(QStringLiteral("5"));
    sheet.controller->mapMeasureTextField()->setModified(true);
    sheet.controller->okAction();
    expectScale(sheet.delegate.current, 2, "cm", 5, "km");
    EXPECT_FALSE(sheet.controller->originalScale());

    // Opening again starts from the delegate's scale.
    sheet.controller->beginDialogOnParentWindowCalibrationDelegate(&sheet.window, &sheet.delegate);
    EXPECT_TRUE(sheet.controller->originalScale()->isEqualToMapScale(sheet.delegate.current.get()));
    EXPECT_EQ(sheet.controller->mapMeasureTextField()->text(), QStringLiteral("5 km"));
}

TEST(CalibrationController, UnusableTypedLengthsKeepThePreviousValueAndPushNothing)
{
    OpenSheet sheet;
    drawingtest::NotificationRecorder posted(kQVNCalibrationControllerDidChangeMapScale, sheet.controller.get());
    for (QLineEdit* field : {sheet.controller->sampleMeasureTextField(), sheet.controller->mapMeasureTextField()}) {
        const QString before = field->text();
        for (const char* text : {"0", "-2", "nan", "inf", "-inf", "1e308", "abc", ""}) {
            sheet.type(field, QString::fromLatin1(text));
            EXPECT_EQ(field->text(), before) << text;
        }
    }
    EXPECT_TRUE(sheet.delegate.received.isEmpty());
    EXPECT_TRUE(posted.received.isEmpty());
    expectScale(sheet.controller->mapScale(), 4, "cm", 1, "km");
    // The setters refuse alike.
    EXPECT_FALSE(sheet.controller->setMapReferenceValue(std::numeric_limits<double>::quiet_NaN()));
    EXPECT_FALSE(sheet.controller->setMapRepresentativeValue(-1));
    EXPECT_FALSE(sheet.controller->setMapWithNewScale(0));
    EXPECT_FALSE(sheet.controller->setMapUnits(nullptr));
}

TEST(CalibrationController, LengthsTypedWithAnotherUnitAreConvertedAndRefusalsAreExplained)
{
    OpenSheet sheet; // 4 cm : 1 km
    sheet.type(sheet.controller->mapMeasureTextField(), QStringLiteral("200 m"));
    expectScale(sheet.delegate.current, 4, "cm", 0.2, "km");
    EXPECT_NEAR(sheet.delegate.current->scale(), 5000, 1e-6);
    EXPECT_EQ(sheet.controller->mapMeasureTextField()->text(), QStringLiteral("0.2 km"));
    sheet.controller->setNumeratorFieldEnabled(true);
    sheet.type(sheet.controller->sampleMeasureTextField(), QStringLiteral("20mm"));
    expectScale(sheet.delegate.current, 2, "cm", 0.2, "km");

    const qsizetype pushed = sheet.delegate.received.size();
    sheet.type(sheet.controller->mapMeasureTextField(), QStringLiteral("200 parsecs"));
    EXPECT_EQ(sheet.delegate.received.size(), pushed);
    EXPECT_EQ(sheet.controller->mapMeasureTextField()->text(), QStringLiteral("0.2 km"));
    EXPECT_TRUE(sheet.controller->mapLegendPreviewTextLabel()->text().contains(QStringLiteral("“200 parsecs” is not a length")));
    // The next edit shows the scale again.
    sheet.type(sheet.controller->mapMeasureTextField(), QStringLiteral("1"));
    EXPECT_EQ(sheet.controller->mapLegendPreviewTextLabel()->text(), sheet.delegate.current->stringValue());
}

TEST(CalibrationController, SettingTheNumeratorMeasurementPushesPostsAndShowsTheWorkingScale)
{
    OpenSheet sheet;
    drawingtest::NotificationRecorder posted(kQVNCalibrationControllerDidChangeMapScale, sheet.controller.get());
    sheet.controller->mapMeasureTextField()->setText(QStringLiteral("stale"));
    sheet.controller->setNumeratorMeasurement(nullptr);
    ASSERT_EQ(sheet.delegate.received.size(), 1);
    expectScale(sheet.delegate.received.last(), 4, "cm", 1, "km");
    EXPECT_EQ(posted.received.size(), 1);
    EXPECT_EQ(sheet.controller->mapMeasureTextField()->text(), QStringLiteral("1 km"));
}

TEST(CalibrationController, AdvancedShowsOnlyForADelegateThatOpensTheDrawingSetUp)
{
    OpenSheet sheet;
    EXPECT_TRUE(sheet.controller->advancedButton()->isHidden());
    sheet.controller->openAdvancedDialogAction();
    EXPECT_EQ(sheet.delegate.drawingSetUpsOpened, 0);
    EXPECT_TRUE(sheet.controller->sheet()->isVisible());
    sheet.controller->cancelAction();

    sheet.delegate.offersDrawingSetUp = true;
    sheet.controller->beginDialogOnParentWindowCalibrationDelegate(&sheet.window, &sheet.delegate);
    EXPECT_FALSE(sheet.controller->advancedButton()->isHidden());
    sheet.pickScale(10000);
    sheet.controller->openAdvancedDialogAction();
    EXPECT_EQ(sheet.delegate.drawingSetUpsOpened, 1);
    expectScale(sheet.delegate.current, 4, "cm", 1, "km"); // the opening scale, as for Cancel
}
