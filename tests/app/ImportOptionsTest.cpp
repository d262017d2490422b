// The shapefile import options: each control writes its user default at once, the view is
// set from the defaults, and stored names that no longer fit fall back.

#include "app/application/VLTMHelpTrampoline.h"
#include "app/import/ZQImportOptionsController.h"
#include "platform/foundation/UserDefaults.h"
#include "platform/graphics/ColourList.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>

using platform::UserDefaults;
using Controller = ZQImportOptionsController;

namespace {

const QStringList kKeys = {Controller::kSimplifyEnableKey,         Controller::kSimplifyDetailLevelKey,
                           Controller::kSimplifyAlgorithmKey,      Controller::kSimplifyAlgorithmClassnameKey,
                           Controller::kAutocolourEnableKey,       Controller::kAutocolourListNameKey,
                           Controller::kMapcolorAttributeNameKey};

UserDefaults& defaults()
{
    return *UserDefaults::standardUserDefaults();
}

// Picks the item as the user does, which sends the pop-up's action.
void choose(QComboBox* popUp, const QVariant& tagOrTitle)
{
    int index = popUp->findData(tagOrTitle);
    if (index < 0)
        index = popUp->findText(tagOrTitle.toString());
    ASSERT_GE(index, 0) << tagOrTitle.toString().toStdString();
    popUp->setCurrentIndex(index);
    Q_EMIT popUp->activated(index);
}

class ImportOptions : public ::testing::Test {
protected:
    void SetUp() override { clear(); }
    void TearDown() override { clear(); }
    static void clear()
    {
        for (const QString& key : kKeys)
            defaults().removeObjectForKey(key);
    }
};

} // namespace

TEST_F(ImportOptions, EveryControlWritesItsDefaultAtOnceAndEnablesItsDependents)
{
    Controller controller;
    std::unique_ptr<QWidget> view(controller.accessoryView());
    EXPECT_FALSE(controller.simplificationStrengthPopUpButton()->isEnabled());

    controller.simplifyEnableCheckbox()->click();
    EXPECT_TRUE(defaults().boolForKey(Controller::kSimplifyEnableKey));
    EXPECT_TRUE(controller.simplificationStrengthPopUpButton()->isEnabled());
    EXPECT_TRUE(controller.simplificationAlgorithmPopUpButton()->isEnabled());
    choose(controller.simplificationStrengthPopUpButton(), 4);
    EXPECT_EQ(defaults().integerForKey(Controller::kSimplifyDetailLevelKey), 4);
    choose(controller.simplificationAlgorithmPopUpButton(), 0);
    EXPECT_EQ(defaults().integerForKey(Controller::kSimplifyAlgorithmKey), 0);
    EXPECT_EQ(defaults().stringForKey(Controller::kSimplifyAlgorithmClassnameKey),
              QStringLiteral("ZQDouglasPeuckerSimplifier"));
    for (int tag : {-1, 0, 1, 99})
        EXPECT_EQ(Controller::simplifierClassnameForTag(tag), QStringLiteral("ZQDouglasPeuckerSimplifier"));

    EXPECT_FALSE(controller.mapcolorEnableCheckbox()->isEnabled()) << "until auto colour is on";
    controller.autoColourEnableCheckbox()->click();
    EXPECT_TRUE(defaults().boolForKey(Controller::kAutocolourEnableKey));
    EXPECT_TRUE(controller.autoColourColourTablesPopUpButton()->isEnabled());
    const QStringList lists = platform::ColourList::availableColourListNames();
    ASSERT_FALSE(lists.isEmpty());
    choose(controller.autoColourColourTablesPopUpButton(), lists.last());
    EXPECT_EQ(defaults().stringForKey(Controller::kAutocolourListNameKey), lists.last());

    // The mapcolor checkbox only enables; choosing an attribute stores its name.
    controller.mapcolorEnableCheckbox()->click();
    EXPECT_FALSE(defaults().objectForKey(Controller::kMapcolorAttributeNameKey).isValid());
    EXPECT_TRUE(controller.mapcolorAttributeNamePopUpButton()->isEnabled());
    choose(controller.mapcolorAttributeNamePopUpButton(), 13);
    EXPECT_EQ(defaults().stringForKey(Controller::kMapcolorAttributeNameKey), QStringLiteral("mapcolor13"));
    // Turning it off keeps the name; an attribute chosen while it is off removes it.
    controller.mapcolorEnableCheckbox()->click();
    EXPECT_FALSE(controller.mapcolorAttributeNamePopUpButton()->isEnabled());
    EXPECT_EQ(defaults().stringForKey(Controller::kMapcolorAttributeNameKey), QStringLiteral("mapcolor13"));
    controller.mapcolorAttributeNameAction(controller.mapcolorAttributeNamePopUpButton());
    EXPECT_FALSE(defaults().objectForKey(Controller::kMapcolorAttributeNameKey).isValid());

    controller.autoColourEnableCheckbox()->click();
    EXPECT_FALSE(defaults().boolForKey(Controller::kAutocolourEnableKey));
    EXPECT_FALSE(controller.autoColourColourTablesPopUpButton()->isEnabled());
    EXPECT_FALSE(controller.mapcolorEnableCheckbox()->isEnabled());

    const QVariantMap settings = controller.settings();
    EXPECT_EQ(settings.keys(), (QStringList{Controller::kSimplifyAlgorithmKey, Controller::kSimplifyAlgorithmClassnameKey,
                                            Controller::kSimplifyDetailLevelKey, Controller::kSimplifyEnableKey}))
        << "absent keys are left out; auto colour is not among the settings";
    for (auto [tag, name] : {std::pair{7, "mapcolor7"}, {8, "mapcolor8"}, {9, "mapcolor9"}, {13, "mapcolor13"},
                             {0, "mapcolor7"}, {12, "mapcolor7"}, {-8, "mapcolor7"}})
        EXPECT_EQ(Controller::mapcolorAttributeNameForTag(tag), QString::fromLatin1(name)) << tag;
}

TEST_F(ImportOptions, TheViewShowsTheDefaultsAndStoredNamesThatFitNothingFallBack)
{
    defaults().setBoolForKey(true, Controller::kSimplifyEnableKey);
    defaults().setIntegerForKey(2, Controller::kSimplifyDetailLevelKey);
    defaults().setBoolForKey(true, Controller::kAutocolourEnableKey);
    defaults().setObjectForKey(QStringLiteral("Colours of a list long gone"), Controller::kAutocolourListNameKey);
    defaults().setObjectForKey(QStringLiteral("mapcolor9"), Controller::kMapcolorAttributeNameKey);
    Controller controller;
    QWidget* view = controller.accessoryView();
    EXPECT_TRUE(controller.simplifyEnableCheckbox()->isChecked());
    EXPECT_EQ(controller.simplificationStrengthPopUpButton()->currentData().toInt(), 2);
    EXPECT_EQ(controller.autoColourColourTablesPopUpButton()->currentIndex(), 1) << "the first list, after the title";
    EXPECT_EQ(controller.autoColourColourTablesPopUpButton()->itemText(0), QStringLiteral("Select..."));
    EXPECT_TRUE(controller.mapcolorEnableCheckbox()->isChecked());
    EXPECT_TRUE(controller.mapcolorAttributeNamePopUpButton()->isEnabled());
    EXPECT_EQ(controller.mapcolorAttributeNamePopUpButton()->currentData().toInt(), 9);

    // The panel deletes the view with itself; the next one is set from the defaults again.
    delete view;
    defaults().removeObjectForKey(Controller::kMapcolorAttributeNameKey);
    defaults().setObjectForKey(QStringLiteral("mapcolor-x"), Controller::kMapcolorAttributeNameKey);
    std::unique_ptr<QWidget> next(controller.accessoryView());
    ASSERT_NE(next.get(), nullptr);
    EXPECT_EQ(controller.mapcolorAttributeNamePopUpButton()->currentData().toInt(), 7) << "an unknown name shows 7";
    defaults().removeObjectForKey(Controller::kMapcolorAttributeNameKey);
    defaults().setBoolForKey(false, Controller::kAutocolourEnableKey);
    controller.awakeFromInterface();
    EXPECT_FALSE(controller.mapcolorEnableCheckbox()->isChecked());
    EXPECT_FALSE(controller.mapcolorAttributeNamePopUpButton()->isEnabled());
}

// Every checkbox of the sheet is a choice the user can make; what the import always does is
// said, not offered as a box that cannot be unticked.
TEST_F(ImportOptions, OffersNoControlThatCannotBeUsed)
{
    Controller controller;
    std::unique_ptr<QWidget> view(controller.accessoryView());
    controller.autoColourEnableCheckbox()->click();
    controller.mapcolorEnableCheckbox()->click();
    controller.simplifyEnableCheckbox()->click();
    for (const QCheckBox* box : view->findChildren<QCheckBox*>())
        EXPECT_TRUE(box->isEnabled()) << box->text().toStdString();
    const auto* note = view->findChild<QLabel*>(QStringLiteral("outOfViewNote"));
    ASSERT_TRUE(note);
    EXPECT_TRUE(note->text().contains(QStringLiteral("outside the drawing")));
}

TEST_F(ImportOptions, HelpButtonOpensTheShapefileImportPageOfTheHelpBook)
{
    QList<QUrl> opened;
    VLTMHelpTrampoline::setExternalBrowser([&](const QUrl& url) {
        opened.append(url);
        return true;
    });
    VLTMHelpTrampoline::setOpensInExternalBrowser(true);
    Controller controller;
    std::unique_ptr<QWidget> view(controller.accessoryView());
    auto* help = view->findChild<QToolButton*>();
    ASSERT_TRUE(help);
    help->click();
    VLTMHelpTrampoline::setOpensInExternalBrowser(false);
    VLTMHelpTrampoline::setExternalBrowser(nullptr);
    ASSERT_EQ(opened.size(), 1);
    EXPECT_EQ(opened[0], VLTMHelpTrampoline::sharedHelpTrampoline()->urlForIdentifier(QStringLiteral("import-shapefile")));
    EXPECT_NE(opened[0], VLTMHelpTrampoline::sharedHelpTrampoline()->urlForIdentifier(QStringLiteral("no-such-page")))
        << "not the fallback page";
}
