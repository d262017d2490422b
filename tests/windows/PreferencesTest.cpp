// The preferences window and the class-kept settings behind it: what each control shows and
// writes, the enabling rules, the alert reset's order, values that are refused or clamped,
// settings that outlive a run, and a reset of all preferences reloading the open window.

#include "../app/MapDocumentTestSupport.h"
#include "app/document/MapDocumentWindowController.h"
#include "app/application/VLTMAppDelegate.h"
#include "platform/foundation/RunLoop.h"
#include "platform/foundation/UserDefaults.h"
#include "platform/foundation/UserDefaultsChanges.h"
#include "platform/vantrix/drawables/VXDrawablePath.h"
#include "platform/vantrix/drawables/VXDrawableShape.h"
#include "platform/vantrix/model/VXBSPDirectObjectStorage.h"
#include "platform/vantrix/model/VXDrawingDocument.h"
#include "platform/vantrix/model/VXLinearObjectStorage.h"
#include "platform/vantrix/model/VXObjectOwnerLayer.h"
#include "platform/vantrix/settings/VXDrawingPreferences.h"
#include "platform/vantrix/styles/VXStyle.h"
#include "platform/vantrix/view/VXDrawingView.h"
#include "windows/preferences/QuorvaneSettings.h"
#include "windows/preferences/QVNPrefsController.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QSpinBox>
#include <QTabWidget>
#include <cmath>
#include <gtest/gtest.h>
#include <limits>

namespace {

platform::UserDefaults& defaults()
{
    return *platform::UserDefaults::standardUserDefaults();
}

class PreferencesTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        QuorvaneSettings::install();
        prefs.window();
    }
    void TearDown() override
    {
        VLTMAppDelegate().discardApplicationPreferences();
        platform::RunLoop::runUntilIdle();
    }
    void settle() { platform::RunLoop::runUntilIdle(); }

    QVNPrefsController prefs;
};

} // namespace

TEST_F(PreferencesTest, StoragePopUpScrollZoomAndAlertReset)
{
    // Tag 0 only for the indexed storage's own name.
    EXPECT_EQ(prefs.storageTypePopUp()->currentData().toInt(), 1);
    for (const auto& [stored, tag] : {std::pair{"VXBSPDirectObjectStorage", 0}, std::pair{"VXLinearObjectStorage", 1},
                                      std::pair{"NoSuchStorage", 1}}) {
        defaults().setObjectForKey(QString::fromLatin1(stored), kQVNLInternalStorageClass);
        settle();
        EXPECT_EQ(prefs.storageTypePopUp()->currentData().toInt(), tag) << stored;
    }
    const QMetaObject* before = VXObjectOwnerLayer::storageClass();
    QuorvaneSettings::applyStoredValues(); // an unknown class leaves the framework's choice
    EXPECT_EQ(VXObjectOwnerLayer::storageClass(), before);
    prefs.storageTypeAction(0);
    EXPECT_EQ(VXObjectOwnerLayer::storageClass(), &VXBSPDirectObjectStorage::staticMetaObject);
    EXPECT_EQ(defaults().stringForKey(kQVNLInternalStorageClass), QStringLiteral("VXBSPDirectObjectStorage"));
    prefs.storageTypeAction(1);
    EXPECT_EQ(VXObjectOwnerLayer::storageClass(), &VXLinearObjectStorage::staticMetaObject);

    // Scroll zoom off: the disable key stored YES, the sense box disabled; on again.
    QCheckBox* zoom = prefs.checkBox(QStringLiteral("Zoom with the scroll wheel"));
    QCheckBox* sense = prefs.checkBox(QStringLiteral("Reverse the scroll wheel's zoom direction"));
    ASSERT_TRUE(zoom && sense);
    EXPECT_TRUE(zoom->isChecked());
    zoom->click();
    settle();
    EXPECT_TRUE(defaults().boolForKey(kVXDrawingDisableScrollwheelZoomPrefsKey));
    EXPECT_FALSE(VXDrawingView::scrollwheelZoomEnabled());
    EXPECT_FALSE(sense->isEnabled());
    zoom->click();
    settle();
    EXPECT_FALSE(defaults().boolForKey(kVXDrawingDisableScrollwheelZoomPrefsKey));
    EXPECT_TRUE(sense->isEnabled());
    EXPECT_TRUE(VXDrawingView::scrollwheelZoomEnabled());

    // The alert reset: five defaults in order, the confirmation box on at once.
    const QStringList keys = {"kQuorvaneToolsWindowConfirmDirectApply", "kVXQLibraryConfirmCategoryDelete",
                              "kVXQLibraryConfirmCategoryCopy", "TMSV_HIDE_QUIT_ALERT",
                              "kTamsiverShouldShowWelcomeVideoCloseAlert"};
    for (int i = 0; i < keys.size(); ++i)
        defaults().setBoolForKey(i == 4 ? false : true, keys[i]);
    settle();
    QCheckBox* confirm = prefs.checkBox(QStringLiteral("Confirm applying a style or symbol to the selection"));
    EXPECT_FALSE(confirm->isChecked());
    QStringList written;
    QObject listener;
    QObject::connect(&platform::UserDefaultsChanges::instance(), &platform::UserDefaultsChanges::defaultsDidChange,
                     &listener, [&](const QString& key) { written << key; });
    prefs.resetAllAlertsAction();
    EXPECT_TRUE(confirm->isChecked());
    EXPECT_EQ(written, keys);
    EXPECT_FALSE(defaults().boolForKey(keys[0]));
    EXPECT_TRUE(defaults().boolForKey(keys[4]));
}

TEST_F(PreferencesTest, ShadowLimitAndUndoLevelsShowWhatTheClassesKept)
{
    // The limit's box and its field share a row without covering each other.
    auto* pages = prefs.window()->findChild<QTabWidget*>();
    for (int page = 0; page < pages->count(); ++page)
        if (pages->widget(page)->isAncestorOf(prefs.shadowLimitBox()))
            pages->setCurrentIndex(page);
    prefs.window()->show();
    settle();
    EXPECT_LE(prefs.shadowLimitBox()->geometry().right(), prefs.shadowLimitField()->geometry().left());
    EXPECT_EQ(prefs.shadowLimitBox()->geometry().center().y(), prefs.shadowLimitField()->geometry().center().y());

    EXPECT_EQ(VXDrawingPreferences::current().shadowScaleLimit, 0.0);
    EXPECT_FALSE(prefs.shadowLimitBox()->isChecked());
    EXPECT_FALSE(prefs.shadowLimitField()->isEnabled());

    prefs.shadowLimitField()->setEditText(QStringLiteral("4"));
    prefs.shadowZoomScaleEnableAction(true);
    settle();
    EXPECT_EQ(VXDrawingPreferences::current().shadowScaleLimit, 4.0);
    EXPECT_TRUE(prefs.shadowLimitBox()->isChecked());
    EXPECT_TRUE(prefs.shadowLimitField()->isEnabled());
    for (const auto& [typed, kept] : {std::pair{"abc", 4.0}, std::pair{"1e308", VXDrawingPreferences::kMaximumShadowScaleLimit},
                                      std::pair{"nan", VXDrawingPreferences::kMaximumShadowScaleLimit}, std::pair{"-3", 0.0}}) {
        prefs.shadowZoomScaleFactorAction(QString::fromLatin1(typed));
        settle();
        EXPECT_EQ(VXDrawingPreferences::current().shadowScaleLimit, kept) << typed;
    }
    EXPECT_FALSE(prefs.shadowLimitBox()->isChecked());
    EXPECT_FALSE(prefs.shadowLimitField()->isEnabled());

    // Undo levels: a refused level shows the one kept.
    prefs.undoHistoryAction(25);
    EXPECT_EQ(VXDrawingDocument::defaultLevelsOfUndo(), 25);
    prefs.undoHistoryAction(-5);
    EXPECT_EQ(VXDrawingDocument::defaultLevelsOfUndo(), 0);
    EXPECT_EQ(prefs.undoLevelsField()->value(), 0);
    EXPECT_EQ(defaults().objectForKey(QuorvaneSettings::kDefaultLevelsOfUndo).toInt(), 0);
}

TEST_F(PreferencesTest, SettingsOutliveARunUnlessDamagedAndResetReloadsTheWindow)
{
    const bool factoryAntialias = VXStyle::shouldAntialias();
    QCheckBox* antialias = prefs.checkBox(QStringLiteral("Antialias"));
    ASSERT_TRUE(antialias);
    EXPECT_EQ(antialias->isChecked(), factoryAntialias);
    antialias->click();
    EXPECT_EQ(VXStyle::shouldAntialias(), !factoryAntialias);
    QuorvaneSettings::edit([](QuorvaneSettings& settings) { settings.drawing.freehandEpsilon = 4.0; });

    // A new run: the classes start over, the stored values come back.
    VXDrawingPreferences::edit([&](VXDrawingPreferences& p) {
        p.shouldAntialias = factoryAntialias;
        p.freehandEpsilon = 2.0;
    });
    QuorvaneSettings::applyStoredValues();
    EXPECT_EQ(VXStyle::shouldAntialias(), !factoryAntialias);
    EXPECT_EQ(VXDrawablePath::defaultFreehandEpsilon(), 4.0);
    settle();
    EXPECT_EQ(prefs.freehandSmoothnessPopUp()->currentData().toInt(), 4);

    // Damaged stored values are not handed over: text, NaN, numbers beyond an int.
    defaults().setObjectForKey(QStringLiteral("yes please"), QuorvaneSettings::kWillDrawShadows);
    defaults().setObjectForKey(std::numeric_limits<double>::quiet_NaN(), QuorvaneSettings::kFreehandEpsilon);
    defaults().setObjectForKey(1e308, QuorvaneSettings::kDefaultLevelsOfUndo);
    const bool shadows = VXStyle::willDrawShadows();
    const int levels = VXDrawingDocument::defaultLevelsOfUndo();
    QuorvaneSettings::applyStoredValues();
    EXPECT_EQ(VXStyle::willDrawShadows(), shadows);
    EXPECT_EQ(VXDrawingDocument::defaultLevelsOfUndo(), levels);
    EXPECT_TRUE(std::isfinite(VXDrawablePath::defaultFreehandEpsilon()));
    QuorvaneSettings::edit([](QuorvaneSettings& settings) { settings.drawing.controlKnobSize = QSizeF(-8, -8); });
    EXPECT_GT(VXDrawingPreferences::current().controlKnobSize.width(), 0.0);

    // Reset Preferences: the classes go back to their own values and the open window shows them.
    VLTMAppDelegate().discardApplicationPreferences();
    settle();
    EXPECT_EQ(VXStyle::shouldAntialias(), factoryAntialias);
    EXPECT_EQ(antialias->isChecked(), factoryAntialias);
    EXPECT_EQ(VXDrawablePath::defaultFreehandEpsilon(), 2.0);
    EXPECT_EQ(prefs.freehandSmoothnessPopUp()->currentData().toInt(), 2);
}

TEST_F(PreferencesTest, NewMapWindowsCentreTheirDrawingAsTheBoxSays)
{
    const auto originOfNewMap = [] {
        auto document = mapdocumenttest::newMapDocument();
        document->makeWindowControllers();
        QWidget* window = document->mapWindowController()->window();
        window->resize(1200, 900);
        window->show();
        VXDrawingView* view = document->mainView();
        view->setScale(0.05); // the page far smaller than the view
        const QPointF origin = view->convertPointFromDrawing(QPointF(0, 0));
        document->close();
        return origin;
    };
    QCheckBox* centre = prefs.checkBox(QStringLiteral("Centre the drawing in its window"));
    ASSERT_TRUE(centre);
    EXPECT_TRUE(centre->isChecked());
    EXPECT_GT(originOfNewMap().x(), 10.0);
    centre->click();
    EXPECT_TRUE(defaults().boolForKey(kCentreDocumentViewDefaultState));
    EXPECT_EQ(originOfNewMap(), QPointF(0, 0));
}

// Open maps show a changed drawing setting at once, not only where they draw afresh later.
TEST_F(PreferencesTest, OpenMapsRedrawWhenAntialiasingChangesOrIsReset)
{
    auto document = mapdocumenttest::newMapDocument();
    document->makeWindowControllers();
    QWidget* window = document->mapWindowController()->window();
    window->resize(900, 700);
    window->show();
    mapdocumenttest::activeMappingLayer(*document)->addObject(VXDrawableShape::drawableShapeWithOvalInRect(
        QRectF(40, 40, 300, 200), VXStyle::styleWithFillColourStrokeColour(Qt::red, Qt::black)));
    VXDrawingView* view = document->mainView();
    view->setScale(1);
    const auto shown = [view] {
        view->finishRendering();
        return view->viewport()->grab().toImage();
    };
    const QImage smooth = shown();

    QCheckBox* antialias = prefs.checkBox(QStringLiteral("Antialias"));
    ASSERT_TRUE(antialias && antialias->isChecked());
    antialias->click();
    EXPECT_NE(shown(), smooth) << "drawn without antialiasing";

    VLTMAppDelegate().discardApplicationPreferences();
    settle();
    EXPECT_TRUE(VXStyle::shouldAntialias());
    // The reset may lay the window out anew: the part both show is compared.
    const QRect common = QRect(QPoint(0, 0), smooth.size()).intersected(view->viewport()->rect());
    EXPECT_EQ(shown().copy(common), smooth.copy(common));
    document->close();
}

// Preference files written by earlier runs read the same, and a change stores its own key only.
TEST_F(PreferencesTest, StoredPreferencesReadUnderTheirKeysAndAChangeStoresItsKeyAlone)
{
    defaults().setObjectForKey(0, QuorvaneSettings::kShouldAntialias);
    defaults().setObjectForKey(1, QuorvaneSettings::kMoveOperatesOnAllLayers);
    defaults().setObjectForKey(8, QuorvaneSettings::kControlKnobSize);
    defaults().setObjectForKey(12, QuorvaneSettings::kDefaultLevelsOfUndo);
    defaults().setObjectForKey(0.5, QuorvaneSettings::kFreehandEpsilon);
    defaults().setObjectForKey(true, QuorvaneSettings::kIgnoresFilterElements);
    defaults().setObjectForKey(QStringLiteral("YES"), kVXDrawingDisableScrollwheelZoomPrefsKey);
    defaults().setObjectForKey(QStringLiteral("VXLinearObjectStorage"), kQVNLInternalStorageClass);
    QuorvaneSettings::applyStoredValues();
    const VXDrawingPreferences& kept = VXDrawingPreferences::current();
    EXPECT_FALSE(kept.shouldAntialias);
    EXPECT_TRUE(kept.moveOperatesOnAllLayers);
    EXPECT_TRUE(kept.selectionShownWhenInactive);
    EXPECT_EQ(kept.controlKnobSize, QSizeF(8, 8));
    EXPECT_EQ(kept.levelsOfUndo, 12);
    EXPECT_EQ(kept.freehandEpsilon, 0.5);
    EXPECT_TRUE(kept.ignoresSVGFilterElements);
    EXPECT_FALSE(kept.scrollwheelZoomEnabled);
    EXPECT_EQ(kept.layerStorageClass, &VXLinearObjectStorage::staticMetaObject);

    const auto storedKeys = [] {
        QStringList keys;
        for (const QString& key :
             {QuorvaneSettings::kWillDrawShadows, QuorvaneSettings::kAutoClosesPath, QuorvaneSettings::kShowsDirectControls,
              kVXDrawingScrollwheelSensePrefsKey, QuorvaneSettings::kShadowScaleLimit})
            if (defaults().objectForKey(key).isValid())
                keys << key;
        return keys;
    };
    QuorvaneSettings::edit([](QuorvaneSettings& settings) { settings.drawing.autoClosesPath = !settings.drawing.autoClosesPath; });
    EXPECT_EQ(storedKeys(), QStringList{QuorvaneSettings::kAutoClosesPath});
    EXPECT_EQ(defaults().objectForKey(QuorvaneSettings::kAutoClosesPath).toBool(), kept.autoClosesPath);
}
