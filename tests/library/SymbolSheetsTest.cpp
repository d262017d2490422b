#include "LibraryManagerTesting.h"

#include "library/sheets/SymbolSheetRules.h"
#include "library/sheets/VXQLibrarySymbolImportController.h"
#include "platform/foundation/RunLoop.h"
#include "platform/ui/Alert.h"
#include "platform/ui/MenuItem.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

using namespace symbolsheets;

namespace {

// An owner that refuses the names it is told are taken.
class NameKeeper : public QObject, public VXQLibrarySymbolImportDelegate {
public:
    bool validateSymbolNameForLibraryItemEditor(QString& name, VXQLibraryItem*, VXQLibrarySymbolImportController*) override
    {
        return !taken.contains(name);
    }
    void symbolEditDidEnd(VXQLibrarySymbolImportController*) override { ++ended; }
    QStringList taken;
    int ended = 0;
};

class SheetTest : public LibraryTest {
protected:
    void SetUp() override
    {
        LibraryTest::SetUp();
        VXQLibrarySymbolImportController::setAlertRunner([this](platform::Alert& alert) {
            alerts.append(alert.messageText());
            return 1;
        });
        library = makeLibrary(QStringLiteral("Signs"));
    }

    void TearDown() override
    {
        sheet.reset();
        VXQLibrarySymbolImportController::setAlertRunner({});
        LibraryTest::TearDown();
    }

    QList<VXQLibraryItemPtr> symbols(const QStringList& names)
    {
        QList<VXQLibraryItemPtr> items;
        for (const QString& name : names) {
            items.append(makeSymbolItem(name));
            library->addItem(items.last());
        }
        return items;
    }

    VXQLibrarySymbolImportController& edit(const QList<VXQLibraryItemPtr>& items)
    {
        sheet = std::make_unique<VXQLibrarySymbolImportController>();
        sheet->beginSymbolEditWithSymbolsOnParentWindowDelegate(items, nullptr, &owner);
        platform::RunLoop::runUntilIdle();
        return *sheet;
    }

    VXQLibraryPtr library;
    NameKeeper owner;
    std::unique_ptr<VXQLibrarySymbolImportController> sheet;
    QStringList alerts;
};

} // namespace

TEST(SymbolSheetRules, LockAndAutoDetachSwitchControlsOff)
{
    const ControlStates open = controlStatesFor(false, false, true);
    EXPECT_TRUE(open.fields && open.sequenceable && open.sequenceKind && open.sequenceableShown);
    const ControlStates locked = controlStatesFor(true, false, true);
    EXPECT_FALSE(locked.fields || locked.sequenceable || locked.sequenceKind);
    EXPECT_TRUE(locked.sequenceableShown);
    const ControlStates detaching = controlStatesFor(false, true, true);
    EXPECT_TRUE(detaching.fields);
    EXPECT_FALSE(detaching.sequenceable || detaching.sequenceKind || detaching.sequenceableShown);
    EXPECT_FALSE(controlStatesFor(false, false, false).sequenceKind);
}

TEST(SymbolSheetRules, ApplyToAllKeysKeepTheLockLastAndCountOnlyKeysWithValues)
{
    QStringList keys = defaultApplyToAllKeys();
    EXPECT_EQ(keys.size(), 8);
    keys = keysWithKeyState(keys, QStringLiteral("name"), false);
    keys = keysWithKeyState(keys, QStringLiteral("name"), true);
    EXPECT_EQ(keys.last(), QStringLiteral("locked"));
    EXPECT_EQ(keys[keys.size() - 2], QStringLiteral("name"));
    EXPECT_EQ(keysWithKeyState(keys, QStringLiteral("name"), true).count(QStringLiteral("name")), 1);
    EXPECT_EQ(keysOfCheckBox(QStringLiteral("sequenceable")),
              (QStringList{QStringLiteral("sequenceable"), QStringLiteral("defaultSequenceKind")}));
    EXPECT_TRUE(keysOfCheckBox(QStringLiteral("nonsense")).isEmpty());

    // The copy-style key never carries a value: alone it applies nothing, while the lock alone does.
    const QVariantMap settings{{QStringLiteral("locked"), true}, {QStringLiteral("prescale"), 2.0}};
    EXPECT_EQ(activeKeyCount({QStringLiteral("detachesStyle")}, settings), 0);
    EXPECT_EQ(activeKeyCount({QStringLiteral("locked")}, settings), 1);
    EXPECT_EQ(activeKeyCount(defaultApplyToAllKeys(), settings), 2);
}

TEST(SymbolSheetRules, PrescaleTextMustBeAPositiveFiniteNumberUpToAThousand)
{
    EXPECT_EQ(prescaleFromText(QStringLiteral(" 2.5 ")), 2.5);
    EXPECT_EQ(prescaleFromText(QStringLiteral("1000")), 1000.0);
    for (const QString& bad : {QStringLiteral("abc"), QStringLiteral("-2"), QStringLiteral("0"), QStringLiteral("inf"),
                               QStringLiteral("nan"), QStringLiteral("1e9"), QStringLiteral("2,5"), QString()})
        EXPECT_EQ(prescaleFromText(bad), std::nullopt) << qPrintable(bad);
}

TEST_F(SheetTest, OnlySymbolsAreEditedAndBrokenOnesAreDropped)
{
    QList<VXQLibraryItemPtr> items{makeStyleItem(QStringLiteral("Red")), makeStyleItem(QStringLiteral("Blue"))};
    items += symbols({QStringLiteral("Tower"), QStringLiteral("Mast"), QStringLiteral("Well")});
    auto broken = std::make_shared<VXQLibraryItem>();
    broken->initWithNameLibrary(QStringLiteral("Broken"), nullptr);
    broken->setClassCode(2);
    items.insert(2, broken);

    VXQLibrarySymbolImportController& editor = edit(items);
    EXPECT_EQ(editor.symbols().size(), 3);
    EXPECT_EQ(editor.itemsInfoLabel()->text(), QStringLiteral("Editing 1 of 3"));
    EXPECT_EQ(editor.selectedLibraryItem()->name(), QStringLiteral("Tower"));
    EXPECT_EQ(editor.nameField()->text(), QStringLiteral("Tower"));
    EXPECT_FALSE(editor.previousButton()->isEnabled());
    EXPECT_TRUE(editor.nextButton()->isEnabled());
    EXPECT_FALSE(editor.applyToAllButton()->isHidden());
    editor.nextItemAction(nullptr);
    editor.nextItemAction(nullptr);
    EXPECT_EQ(editor.itemsInfoLabel()->text(), QStringLiteral("Editing 3 of 3"));
    EXPECT_FALSE(editor.nextButton()->isEnabled());

    // One item: nowhere to go and nothing to apply to.
    edit(symbols({QStringLiteral("Lone")}));
    EXPECT_TRUE(sheet->applyToAllButton()->isHidden());
    EXPECT_FALSE(sheet->previousButton()->isEnabled());
    EXPECT_FALSE(sheet->nextButton()->isEnabled());
    // None at all.
    edit({makeStyleItem(QStringLiteral("Only a style"))});
    EXPECT_EQ(sheet->itemsInfoLabel()->text(), QStringLiteral("Nothing To Edit"));
    EXPECT_FALSE(sheet->nameField()->isEnabled());
}

TEST_F(SheetTest, LockAndAutoDetachFollowTheSymbolAtOnce)
{
    VXQLibrarySymbolImportController& editor = edit(symbols({QStringLiteral("Tower"), QStringLiteral("Mast")}));
    VXQSymbolMaster* tower = editor.selectedSymbol();
    ASSERT_TRUE(tower);
    tower->setSequenceable(true);
    EXPECT_TRUE(editor.sequenceableCheckbox()->isChecked());
    EXPECT_TRUE(editor.defaultSequenceKindPopUp()->isEnabled());

    editor.autoDetachCheckbox()->click();
    EXPECT_TRUE(tower->autoDetachesInstances());
    EXPECT_FALSE(editor.sequenceableCheckbox()->isEnabled());
    EXPECT_FALSE(editor.sequenceableCheckbox()->isChecked());
    EXPECT_FALSE(editor.defaultSequenceKindPopUp()->isEnabled());
    EXPECT_TRUE(tower->sequenceable()); // only shown off
    editor.autoDetachCheckbox()->click();
    EXPECT_TRUE(editor.sequenceableCheckbox()->isChecked());

    editor.lockedCheckbox()->click();
    EXPECT_TRUE(tower->locked());
    for (QWidget* control : std::initializer_list<QWidget*>{editor.nameField(), editor.descriptionField(),
                                                             editor.copyStyleCheckbox(), editor.autoDetachCheckbox(),
                                                             editor.prescaleField(), editor.prescaleStepper(),
                                                             editor.sequenceableCheckbox(), editor.defaultSequenceKindPopUp()})
        EXPECT_FALSE(control->isEnabled());
    EXPECT_TRUE(editor.lockedCheckbox()->isEnabled());

    // A change made elsewhere shows in the sheet; the next item's values replace it.
    tower->setLocked(false);
    tower->setPrescale(3.0);
    EXPECT_EQ(editor.prescaleField()->text(), QStringLiteral("3"));
    EXPECT_DOUBLE_EQ(editor.prescaleStepper()->value(), 3.0);
    editor.nextItemAction(nullptr);
    tower->setName(QStringLiteral("Renamed elsewhere"));
    EXPECT_EQ(editor.nameField()->text(), QStringLiteral("Mast"));
}

TEST_F(SheetTest, NamesInUseEmptyNamesAndBadPrescalesAreRefused)
{
    owner.taken = {QStringLiteral("Mast")};
    VXQLibrarySymbolImportController& editor = edit(symbols({QStringLiteral("Tower"), QStringLiteral("Mast")}));

    editor.nameField()->setText(QStringLiteral("Mast"));
    EXPECT_FALSE(editor.endEditing());
    EXPECT_EQ(alerts, QStringList{"Name In Use"});
    EXPECT_EQ(editor.nameField()->text(), QStringLiteral("Tower"));
    EXPECT_EQ(editor.selectedSymbol()->name(), QStringLiteral("Tower"));
    // A refused name keeps the sheet on its item.
    editor.nameField()->setText(QStringLiteral("Mast"));
    editor.nextItemAction(nullptr);
    EXPECT_EQ(editor.selectedIndex(), 0);
    EXPECT_TRUE(editor.endEditing()); // the field shows the old name again

    editor.nameField()->setText(QStringLiteral("   "));
    EXPECT_FALSE(editor.endEditing());
    EXPECT_EQ(editor.nameField()->text(), QStringLiteral("Tower"));
    editor.nameField()->setText(QStringLiteral("North/South"));
    EXPECT_TRUE(editor.endEditing());
    EXPECT_EQ(editor.selectedLibraryItem()->name(), QStringLiteral("North-South"));
    EXPECT_EQ(editor.nameField()->text(), QStringLiteral("North-South"));

    for (const QString& bad : {QStringLiteral("big"), QStringLiteral("-1"), QStringLiteral("inf"), QStringLiteral("1e12")}) {
        editor.prescaleField()->setText(bad);
        EXPECT_TRUE(editor.endEditing());
        EXPECT_DOUBLE_EQ(editor.selectedSymbol()->prescale(), 1.0) << qPrintable(bad);
        EXPECT_EQ(editor.prescaleField()->text(), QStringLiteral("1"));
    }
    editor.prescaleField()->setText(QStringLiteral("2.5"));
    EXPECT_TRUE(editor.endEditing());
    EXPECT_DOUBLE_EQ(editor.selectedSymbol()->prescale(), 2.5);

    editor.saveAction(nullptr);
    EXPECT_EQ(owner.ended, 1);
    EXPECT_EQ(editor.selectedSymbol(), nullptr);
}

TEST_F(SheetTest, ApplyToAllSetsCheckedValuesAndKeepsLocksUnlessTheLockIsApplied)
{
    const QList<VXQLibraryItemPtr> items = symbols({"One", "Two", "Three", "Four", "Five"});
    items[1]->setLocked(true);
    items[3]->setLocked(true);
    VXQLibrarySymbolImportController& editor = edit(items);
    // An empty name field gives no name to apply.
    editor.nameField()->clear();
    EXPECT_FALSE(editor.settingsForApplyToAllDialog(nullptr).contains(QStringLiteral("name")));
    editor.nameField()->setText(QStringLiteral("One"));
    editor.prescaleField()->setText(QStringLiteral("4"));
    ASSERT_TRUE(editor.endEditing());
    editor.sequenceableCheckbox()->click();

    editor.applyToAllAction(nullptr);
    VXQLibrarySymbolApplyToAllController* dialog = editor.applyToAllController();
    ASSERT_TRUE(dialog && dialog->sheet()->isVisible());
    EXPECT_TRUE(dialog->infoTextField()->text().startsWith(QStringLiteral("The settings will be applied to 5 selected symbols.")));
    EXPECT_EQ(dialog->valueFieldForKey(QStringLiteral("name"))->text(), QStringLiteral("One"));
    EXPECT_EQ(dialog->valueFieldForKey(QStringLiteral("sequenceable"))->text(), QStringLiteral("YES, Numeric"));
    EXPECT_EQ(dialog->valueFieldForKey(QStringLiteral("locked"))->text(), QStringLiteral("NO"));
    EXPECT_EQ(dialog->valueFieldForKey(QStringLiteral("prescale"))->text(), QStringLiteral("4"));

    // Only the copy-style box: nothing would change. The lock alone would (a fault mended).
    for (const char* key : {"name", "userDescription", "autoDetachesInstances", "sequenceable", "locked", "prescale"})
        dialog->checkBoxForKey(key)->setChecked(false);
    EXPECT_FALSE(dialog->applyButton()->isEnabled());
    dialog->checkBoxForKey(QStringLiteral("detachesStyle"))->setChecked(false);
    dialog->checkBoxForKey(QStringLiteral("locked"))->setChecked(true);
    EXPECT_TRUE(dialog->applyButton()->isEnabled());
    dialog->checkBoxForKey(QStringLiteral("locked"))->setChecked(false);

    // Prescale and sequencing, not the lock.
    dialog->checkBoxForKey(QStringLiteral("prescale"))->setChecked(true);
    dialog->checkBoxForKey(QStringLiteral("sequenceable"))->setChecked(true);
    dialog->checkBoxForKey(QStringLiteral("locked"))->setChecked(true);
    dialog->checkBoxForKey(QStringLiteral("userDescription"))->setChecked(true);
    EXPECT_EQ(dialog->keys(), (QStringList{"prescale", "sequenceable", "defaultSequenceKind", "userDescription", "locked"}));
    dialog->checkBoxForKey(QStringLiteral("locked"))->setChecked(false);
    dialog->applyAction(nullptr);
    platform::RunLoop::runUntilIdle();
    QStringList names;
    for (int i = 0; i < items.size(); ++i) {
        const VXQSymbolMasterPtr master = items[i]->symbolMaster();
        EXPECT_DOUBLE_EQ(master->prescale(), 4.0) << i;
        EXPECT_TRUE(master->sequenceable()) << i;
        EXPECT_EQ(items[i]->locked(), i == 1 || i == 3) << i;
        names.append(items[i]->name());
    }
    EXPECT_EQ(names, (QStringList{"One", "Two", "Three", "Four", "Five"}));
    EXPECT_EQ(editor.itemsInfoLabel()->text(), QStringLiteral("Editing 1 of 5"));

    // The lock applied to all.
    editor.applyToAllWithKeyMask({{QStringLiteral("locked"), true}}, QStringList{QStringLiteral("locked")});
    for (const VXQLibraryItemPtr& item : items)
        EXPECT_TRUE(item->locked());
}

TEST_F(ManagerTest, EditingSymbolsOpensOneSheetThatTheManagerHearsCloseHoweverItEnds)
{
    VXQLibraryPtr signs = makeLibrary(QStringLiteral("Signs"));
    for (const QString& name : {QStringLiteral("Mast"), QStringLiteral("Tower")})
        signs->addItem(makeSymbolItem(name));
    signs->addItem(makeStyleItem(QStringLiteral("Red")));
    VXQLibraryManagerWindowController& window = openManager();
    ASSERT_TRUE(window.selectLibrary(signs.get()));
    // The menu command offers itself for a selection holding symbols, not for styles alone.
    platform::MenuItem editSymbols(QStringLiteral("Edit Symbols..."), "editItemsAction");
    window.itemBrowser()->selectItemsAtIndexes({});
    EXPECT_FALSE(window.validateMenuItem(&editSymbols));
    window.itemBrowser()->selectItemsAtIndexes({1}); // Red, in name order
    EXPECT_FALSE(window.validateMenuItem(&editSymbols));
    window.itemBrowser()->selectItemsAtIndexes({0, 1, 2});
    EXPECT_TRUE(window.validateMenuItem(&editSymbols));
    window.editItemsAction(nullptr);
    platform::RunLoop::runUntilIdle();
    VXQLibrarySymbolImportController* sheet = window.symbolImporter();
    ASSERT_TRUE(sheet && sheet->sheet()->isVisible());
    EXPECT_TRUE(window.symbolEditorIsOpen());
    EXPECT_EQ(sheet->symbols().size(), 2);

    // The library's names decide: a taken one is refused and the one it would take offered.
    QString name = QStringLiteral("Tower");
    EXPECT_FALSE(window.validateSymbolNameForLibraryItemEditor(name, sheet->selectedLibraryItem().get(), sheet));
    EXPECT_EQ(name, QStringLiteral("Tower-1"));
    name = QStringLiteral("mast"); // the item's own name in another case
    EXPECT_TRUE(window.validateSymbolNameForLibraryItemEditor(name, sheet->selectedLibraryItem().get(), sheet));

    // Closed by Escape rather than Done: the manager may open it again.
    sheet->sheet()->reject();
    platform::RunLoop::runUntilIdle();
    EXPECT_FALSE(window.symbolEditorIsOpen());
}
