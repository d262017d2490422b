#include "AttributeTesting.h"

#include "inspectors/attributes/AttributeTables.h"
#include "inspectors/attributes/CommonAttributes.h"
#include "platform/foundation/Markers.h"

#include <QAbstractItemModelTester>
#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QMessageBox>
#include <QMimeData>
#include <QPushButton>
#include <QScrollBar>
#include <QTableView>
#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>

using namespace attributetest;
using namespace attributetables;

namespace {

struct Holder : platform::MetadataContainer {
    explicit Holder(const QVariantMap& values)
    {
        Values stored;
        for (auto it = values.cbegin(); it != values.cend(); ++it)
            stored.insert(it.key(), VXMetadataValue::withValue(it.value()));
        initMetadata(stored);
    }
    ZQObject* metadataOwner() override { return nullptr; }
    ZQUndoManager* metadataUndoManager() const override { return nullptr; }
};

CommonAttributes commonOf(const std::vector<Holder>& holders)
{
    QList<const platform::MetadataContainer*> containers;
    for (const Holder& holder : holders)
        containers.append(&holder);
    return CommonAttributes(containers);
}

QStringList sorted(QStringList keys)
{
    keys.sort();
    return keys;
}

QPushButton* buttonTitled(QMessageBox* box, const QString& title)
{
    for (QAbstractButton* button : box->buttons()) {
        if (button->text() == title)
            return qobject_cast<QPushButton*>(button);
    }
    return nullptr;
}

} // namespace

TEST(AttributeTables, TypeIndexesAndCodesMapBothWays)
{
    const int codes[] = {3, 1, 2, 0, 9, 10, 8};
    for (int index = 0; index < kTypeIndexCount; ++index) {
        EXPECT_EQ(VXQAttributeController::metadataTypeForAttributeControllerIndex(index), codes[index]);
        EXPECT_EQ(VXQAttributeController::attributeControllerIndexForType(codes[index]), index);
    }
    for (int code : {4, 5, 6, 7, 11, -1})
        EXPECT_EQ(VXQAttributeController::attributeControllerIndexForType(code), -1) << code;
    for (int index : {7, -1, 100})
        EXPECT_EQ(VXQAttributeController::metadataTypeForAttributeControllerIndex(index), -2) << index;

    EXPECT_EQ(newItemForIndex(kDateIndex).key, "date");
    EXPECT_EQ(newItemForIndex(kDateIndex).item->value().toDateTime().date(), QDate::currentDate());
    EXPECT_EQ(newItemForIndex(kURLIndex).item->stringValue(), kNewURLAddress);
    EXPECT_EQ(newItemForIndex(kColourIndex).item->colourValue(), QColor(Qt::red));
    EXPECT_EQ(newItemForIndex(42).key, "str"); // beyond the pop-up: text
    EXPECT_EQ(predefinedAttributeForTag(4)->key, "qvnl_sequence_info");
    EXPECT_EQ(predefinedAttributeForTag(5)->item->intValue(), 19);
    EXPECT_FALSE(predefinedAttributeForTag(6));
}

TEST(AttributeTables, ValuesThatDoNotReadAsTheTypeAreRefused)
{
    EXPECT_EQ(valueOfType(QStringLiteral(" 42 "), kVXMetadataTypeInteger), QVariant(qint64(42)));
    EXPECT_EQ(valueOfType(4.0, kVXMetadataTypeInteger), QVariant(qint64(4)));
    for (const QVariant& bad : {QVariant(QStringLiteral("abc")), QVariant(QStringLiteral("2.5")), QVariant(QStringLiteral("1e30")),
                                QVariant(QStringLiteral("")), QVariant(QColor(Qt::red))})
        EXPECT_FALSE(valueOfType(bad, kVXMetadataTypeInteger)) << bad.toString().toStdString();
    EXPECT_FALSE(valueOfType(-1, kVXMetadataTypeUnsignedInteger));
    EXPECT_EQ(valueOfType(QStringLiteral("3.25"), kVXMetadataTypeReal), QVariant(3.25));
    for (const char* bad : {"nan", "inf", "-inf", "three"})
        EXPECT_FALSE(valueOfType(QString::fromLatin1(bad), kVXMetadataTypeReal)) << bad;
    EXPECT_FALSE(valueOfType(std::nan(""), kVXMetadataTypeReal));
    EXPECT_EQ(valueOfType(QStringLiteral("2026-12-08"), kVXMetadataTypeDate)->toDateTime().date(), QDate(2026, 12, 8));
    EXPECT_FALSE(valueOfType(QStringLiteral("2026-13-40"), kVXMetadataTypeDate));
    EXPECT_EQ(valueOfType(QStringLiteral("yes"), kVXMetadataTypeBoolean), QVariant(true));
    EXPECT_FALSE(valueOfType(QStringLiteral("maybe"), kVXMetadataTypeBoolean));
    EXPECT_EQ(valueOfType(QStringLiteral("#00ff00"), kVXMetadataTypeColour)->value<QColor>(), QColor(Qt::green));
    EXPECT_FALSE(valueOfType(QStringLiteral("not a colour"), kVXMetadataTypeColour));
    EXPECT_FALSE(valueOfType(QStringLiteral("http://exa mple.com"), kVXMetadataTypeURL));
    EXPECT_EQ(valueOfType(QStringLiteral(""), kVXMetadataTypeString), QVariant(QString()));
    EXPECT_FALSE(valueOfType(QVariant(), kVXMetadataTypeString));
}

TEST(CommonAttributes, LaterObjectsWithoutTheKeyMakeItMixedEarlierOnesDoNot)
{
    const CommonAttributes common = commonOf({Holder({{"a", 1}}), Holder({{"a", 1}, {"b", "x"}}), Holder({{"a", 1}, {"b", "x"}})});
    EXPECT_EQ(sorted(common.keys()), QStringList({"a", "b"}));
    EXPECT_FALSE(common.entryForKey("a")->mixed);
    EXPECT_EQ(common.entryForKey("a")->commonType, kVXMetadataTypeInteger);
    // The first object lacks b: it does not count, but it does count as a String for the type.
    EXPECT_FALSE(common.entryForKey("b")->mixed);
    EXPECT_EQ(common.entryForKey("b")->commonType, kVXMetadataTypeString);

    const CommonAttributes gap = commonOf({Holder({{"a", 1}}), Holder({}), Holder({{"a", 1}})});
    EXPECT_TRUE(gap.entryForKey("a")->mixed);
    EXPECT_EQ(gap.entryForKey("a")->commonType, CommonAttributes::kMixedTypes);
    const CommonAttributes differing = commonOf({Holder({{"a", 1}}), Holder({{"a", 2}})});
    EXPECT_TRUE(differing.entryForKey("a")->mixed);
    EXPECT_EQ(differing.entryForKey("a")->commonType, kVXMetadataTypeInteger);
    const CommonAttributes retyped = commonOf({Holder({{"a", 1}}), Holder({{"a", 1.5}})});
    EXPECT_EQ(retyped.entryForKey("a")->commonType, CommonAttributes::kMixedTypes);
    EXPECT_EQ(commonOf({}).count(), 0);
    EXPECT_EQ(retyped.entryForKey("zz"), nullptr);
}

TEST(CommonAttributes, FindOptionsFilterByKeyTypeAndValue)
{
    const CommonAttributes common = commonOf({Holder({{"abc", "Main Street"}, {"cab", 3}, {"abab", true}, {"mixed", 1}}),
                                              Holder({{"abc", "Main Street"}, {"cab", 3}, {"abab", true}, {"mixed", 2}})});
    EXPECT_EQ(sorted(common.keysPassingFilter("ab", kKeyBeginsWith)), QStringList({"abab", "abc"}));
    EXPECT_EQ(sorted(common.keysPassingFilter("AB", kKeyContains)), QStringList({"abab", "abc", "cab"}));
    // A suffix test: "abab" ends with "ab" although "ab" first occurs at its start.
    EXPECT_EQ(sorted(common.keysPassingFilter("aB", kKeyEndsWith)), QStringList({"abab", "cab"}));
    EXPECT_EQ(common.keysPassingFilter("int", kTypeNameBeginsWith), QStringList({"cab"}));
    EXPECT_TRUE(common.keysPassingFilter("Integer", kTypeNameBeginsWith).contains("cab"));
    EXPECT_FALSE(common.keyPassesFilter("mixed", "Int", kTypeNameBeginsWith)); // differing values drop out
    EXPECT_EQ(common.keysPassingFilter("street", kValueContains), QStringList({"abc"}));
    EXPECT_TRUE(common.keysPassingFilter("street", kValueBeginsWith).isEmpty());
    EXPECT_FALSE(common.keyPassesFilter("mixed", "1", kValueBeginsWith));
    EXPECT_EQ(common.keysPassingFilter("zzz", 9).size(), 4); // an unknown option keeps everything

    EXPECT_EQ(common.sortedKeys(common.keys(), CommonAttributes::kSortByKey, Qt::AscendingOrder),
              QStringList({"abab", "abc", "cab", "mixed"}));
    EXPECT_EQ(common.sortedKeys(common.keys(), CommonAttributes::kSortByKey, Qt::DescendingOrder),
              QStringList({"mixed", "cab", "abc", "abab"}));
    // By type index: Boolean 0, Integer 1 (mixed values share the type), String 3.
    EXPECT_EQ(common.sortedKeys(common.keys(), CommonAttributes::kSortByType, Qt::AscendingOrder),
              QStringList({"abab", "cab", "mixed", "abc"}));
}

TEST(AttributeEditor, AddingRowsMakesUniqueKeysAndNamedSteps)
{
    AttributesFixture fixture;
    VXDrawableObjectPtr first = fixture.addShape();
    VXDrawableObjectPtr second = fixture.addShape();
    VXDrawableObjectPtr locked = fixture.addShape();
    locked->setLocked(true);
    fixture.select({first, second, locked});
    VXQAttributeController& editor = fixture.editor();
    const QAbstractItemModelTester tester(editor.tableModel(), QAbstractItemModelTester::FailureReportingMode::Fatal);

    for (int i = 0; i < 3; ++i) {
        editor.addNewItemWithType(kStringIndex);
        fixture.endStep();
    }
    EXPECT_EQ(sorted(first->metadataKeys()), QStringList({"str1", "str2", "str3"}));
    EXPECT_EQ(sorted(second->metadataKeys()), QStringList({"str1", "str2", "str3"}));
    EXPECT_TRUE(locked->metadataKeys().isEmpty());
    EXPECT_EQ(fixture.rows(), QStringList({"STR1", "STR2", "STR3"}));
    EXPECT_EQ(fixture.undo.numberOfUndoActions(), 3);
    EXPECT_EQ(fixture.undo.undoActionName(), "New Attribute");
    // The new row is selected for its value to be typed.
    EXPECT_EQ(editor.selectedKeys(), QStringList({"str3"}));

    // An active filter is cleared so the new row shows.
    editor.setFilterString(QStringLiteral("zzz"));
    EXPECT_TRUE(fixture.rows().isEmpty());
    editor.addNewItemWithType(kColourIndex);
    fixture.endStep();
    EXPECT_TRUE(editor.filterString().isEmpty());
    EXPECT_EQ(first->metadataItemForKey("color1")->colourValue(), QColor(Qt::red));

    fixture.undo.undo();
    fixture.settle();
    EXPECT_FALSE(first->metadataKeys().contains("color1"));
    EXPECT_FALSE(fixture.rows().contains("COLOR1"));
    fixture.undo.redo();
    fixture.settle();
    EXPECT_TRUE(second->metadataKeys().contains("color1"));

    // A predefined attribute keeps its own key, replacing what was there.
    first->setMetadataItemValueForKey(7, "bus_route");
    fixture.forgetEdits();
    editor.insertPredefinedAttributeWithTag(5);
    fixture.endStep();
    EXPECT_EQ(first->metadataItemForKey("bus_route")->intValue(), 19);
    EXPECT_EQ(second->metadataItemForKey("bus_route")->intValue(), 19);
    EXPECT_EQ(fixture.undo.numberOfUndoActions(), 1);
    editor.insertPredefinedAttributeWithTag(99);
    fixture.endStep();
    EXPECT_EQ(fixture.undo.numberOfUndoActions(), 1);
}

TEST(AttributeEditor, PastingRenamesCollidingKeysUnlessAskedNotTo)
{
    AttributesFixture fixture;
    VXDrawableObjectPtr source = fixture.addShape({{"color", "blue"}, {"road", "A1"}});
    VXDrawableObjectPtr target = fixture.addShape({{"color", "red"}, {"color1", "green"}});
    VXDrawableObjectPtr other = fixture.addShape({{"color", "red"}});
    VXQAttributeController& editor = fixture.editor();

    fixture.select({source});
    editor.selectKeys({"color"});
    QMimeData pasteboard;
    ASSERT_TRUE(editor.copyAttributesToPasteboard(&pasteboard));
    EXPECT_TRUE(VXQAttributeController::canPasteAttributes(&pasteboard));

    fixture.select({target, other});
    EXPECT_EQ(editor.pasteAttributesFromPasteboard(&pasteboard, true), QStringList({"color2"}));
    fixture.endStep();
    EXPECT_EQ(target->metadataItemForKey("color2")->stringValue(), "blue");
    EXPECT_EQ(other->metadataItemForKey("color2")->stringValue(), "blue");
    EXPECT_EQ(target->metadataItemForKey("color")->stringValue(), "red");
    EXPECT_EQ(editor.selectedKeys(), QStringList({"color2"}));
    EXPECT_EQ(fixture.undo.undoActionName(), "Paste Attributes");

    EXPECT_EQ(editor.pasteAttributesFromPasteboard(&pasteboard, false), QStringList({"color"}));
    fixture.endStep();
    EXPECT_EQ(target->metadataItemForKey("color")->stringValue(), "blue");
    EXPECT_EQ(target->metadataKeys().size(), 3);
    fixture.undo.undo();
    EXPECT_EQ(target->metadataItemForKey("color")->stringValue(), "red");

    // Several keys at once: a new key is neither one the objects have nor another pasted one.
    QMap<QString, VXMetadataItemPtr> items{{"color", VXMetadataItem::metadataItemWithValue("a")},
                                           {"color2", VXMetadataItem::metadataItemWithValue("b")}};
    // The counter follows the pasted key: "color2" becomes "color21".
    EXPECT_EQ(editor.addMetadataItemsToContentRenameKeysIfNecessary(items, true), QStringList({"color21", "color3"}));
}

TEST(AttributeEditor, DamagedOrForeignPasteboardsChangeNothing)
{
    AttributesFixture fixture;
    VXDrawableObjectPtr shape = fixture.addShape({{"a", 1}});
    fixture.select({shape});
    VXQAttributeController& editor = fixture.editor();
    QMimeData damaged;
    damaged.setData(VXMultipleMetadataItemsPBoardType, QByteArray("bplist00 not an archive"));
    QMimeData foreign;
    foreign.setText(QStringLiteral("color"));
    for (QMimeData* pasteboard : {&damaged, &foreign}) {
        EXPECT_FALSE(VXQAttributeController::canPasteAttributes(pasteboard));
        EXPECT_TRUE(editor.pasteAttributesFromPasteboard(pasteboard, true).isEmpty());
    }
    EXPECT_FALSE(VXQAttributeController::canPasteAttributes(nullptr));
    fixture.endStep();
    EXPECT_EQ(shape->metadataKeys(), QStringList({"a"}));
    EXPECT_EQ(fixture.undo.numberOfUndoActions(), 0);
    // Nothing selected: nothing to copy.
    QMimeData pasteboard;
    EXPECT_FALSE(editor.copyAttributesToPasteboard(&pasteboard));
}

TEST(AttributeEditor, RenamingAKeyMovesItInEveryUnlockedObjectThatHasIt)
{
    AttributesFixture fixture;
    VXDrawableObjectPtr first = fixture.addShape({{"route_num", 5}});
    VXDrawableObjectPtr second = fixture.addShape({{"route_num", 6}, {"name", "High St"}});
    VXDrawableObjectPtr without = fixture.addShape({{"name", "Low St"}});
    VXDrawableObjectPtr locked = fixture.addShape({{"route_num", 7}});
    locked->setLocked(true);
    fixture.select({first, second, without, locked});
    VXQAttributeController& editor = fixture.editor();
    AttributeTableModel* model = editor.tableModel();

    const int row = fixture.rowOf("route_num");
    ASSERT_GE(row, 0);
    EXPECT_EQ(model->index(row, VXQAttributeController::kKeyColumn).data().toString(), "ROUTE_NUM");
    EXPECT_TRUE(model->setData(model->index(row, VXQAttributeController::kKeyColumn), "ROUTE_NUMBER", Qt::EditRole));
    fixture.endStep();
    EXPECT_EQ(first->metadataItemForKey("route_number")->intValue(), 5);
    EXPECT_EQ(second->metadataItemForKey("route_number")->intValue(), 6);
    EXPECT_FALSE(first->metadataKeys().contains("route_num"));
    EXPECT_EQ(without->metadataKeys(), QStringList({"name"})); // nothing added where the key was missing
    EXPECT_EQ(locked->metadataKeys(), QStringList({"route_num"}));
    EXPECT_EQ(editor.selectedKeys(), QStringList({"route_number"}));
    EXPECT_EQ(fixture.undo.undoActionName(), "Change Attribute Name");
    EXPECT_EQ(fixture.undo.numberOfUndoActions(), 1);

    // Onto a key in use, or onto nothing: refused, nothing changes.
    EXPECT_FALSE(editor.renameKeyAsKey("route_number", "NAME"));
    EXPECT_FALSE(editor.renameKeyAsKey("route_number", "   "));
    fixture.endStep();
    EXPECT_EQ(second->metadataItemForKey("name")->stringValue(), "High St");
    EXPECT_EQ(fixture.undo.numberOfUndoActions(), 1);

    fixture.undo.undo();
    fixture.settle();
    EXPECT_EQ(first->metadataItemForKey("route_num")->intValue(), 5);
    EXPECT_FALSE(second->metadataKeys().contains("route_number"));
    EXPECT_TRUE(fixture.rows().contains("ROUTE_NUM"));
}

TEST(AttributeEditor, TypeAndValueEditsConvertOrRefuse)
{
    AttributesFixture fixture;
    VXDrawableObjectPtr shape = fixture.addShape({{"lanes", 2}, {"name", "Old"}});
    fixture.select({shape});
    VXQAttributeController& editor = fixture.editor();
    AttributeTableModel* model = editor.tableModel();
    const QModelIndex lanes = model->index(fixture.rowOf("lanes"), VXQAttributeController::kValueColumn);

    EXPECT_FALSE(model->setData(lanes, "four", Qt::EditRole));
    EXPECT_FALSE(model->setData(lanes, "4.5", Qt::EditRole));
    fixture.endStep();
    EXPECT_EQ(shape->metadataItemForKey("lanes")->intValue(), 2);
    EXPECT_EQ(fixture.undo.numberOfUndoActions(), 0);

    EXPECT_TRUE(model->setData(lanes, "4", Qt::EditRole));
    fixture.endStep();
    EXPECT_EQ(shape->metadataValueForKey("lanes"), QVariant(qint64(4)));
    EXPECT_EQ(fixture.undo.undoActionName(), "Change Attribute Value");

    // The type pop-up converts the value.
    const QModelIndex type = model->index(fixture.rowOf("lanes"), VXQAttributeController::kTypeColumn);
    EXPECT_EQ(type.data(Qt::EditRole).toInt(), kIntegerIndex);
    EXPECT_TRUE(model->setData(type, kRealIndex, Qt::EditRole));
    fixture.endStep();
    EXPECT_EQ(shape->metadataItemForKey("lanes")->type(), kVXMetadataTypeReal);
    EXPECT_EQ(shape->metadataItemForKey("lanes")->realValue(), 4.0);
    EXPECT_EQ(fixture.undo.undoActionName(), "Change Attribute Type");
    fixture.undo.undo();
    EXPECT_EQ(shape->metadataItemForKey("lanes")->type(), kVXMetadataTypeInteger);

    // The "name" attribute names the object too.
    editor.setObjectValueInContentForKey(QStringLiteral("New"), "name");
    fixture.endStep();
    EXPECT_EQ(shape->metadataItemForKey("name")->stringValue(), "New");
    EXPECT_EQ(shape->name(), "New");
    EXPECT_TRUE(shape->hasUserAssignedName());
    fixture.undo.undo();
    EXPECT_EQ(shape->metadataItemForKey("name")->stringValue(), "Old");
    EXPECT_TRUE(shape->name().isEmpty());

    editor.removeMetadataItemFromContentForKey("name");
    fixture.endStep();
    EXPECT_EQ(shape->metadataKeys(), QStringList({"lanes"}));
    EXPECT_EQ(fixture.undo.undoActionName(), "Delete Attribute");
}

TEST(AttributeEditor, EditingAValueInTheTableCommitsAndClosesTheEditorCleanly)
{
    AttributesFixture fixture;
    VXDrawableObjectPtr shape = fixture.addShape({{"name", "Old"}});
    fixture.select({shape});
    QTableView* table = fixture.editor().tableView();
    ASSERT_TRUE(table);
    const QModelIndex value = table->model()->index(fixture.rowOf("name"), VXQAttributeController::kValueColumn);
    table->setCurrentIndex(value);
    table->edit(value);
    auto* editor = qobject_cast<QLineEdit*>(table->indexWidget(value) ? table->indexWidget(value) : QApplication::focusWidget());
    ASSERT_TRUE(editor);

    // The table reloading under the view's own commit leaves the view an editor it no longer knows.
    static QStringList warnings;
    warnings.clear();
    const QtMessageHandler previous = qInstallMessageHandler(
        [](QtMsgType type, const QMessageLogContext&, const QString& message) {
            if (type == QtWarningMsg)
                warnings.append(message);
        });
    editor->setText("New");
    QTest::keyClick(editor, Qt::Key_Return);
    fixture.endStep();
    qInstallMessageHandler(previous);

    EXPECT_EQ(shape->metadataItemForKey("name")->stringValue(), "New");
    EXPECT_EQ(fixture.undo.undoActionName(), "Change Attribute Value");
    EXPECT_TRUE(warnings.isEmpty()) << warnings.join('\n').toStdString();
    EXPECT_EQ(fixture.rows(), QStringList({"NAME"}));
}

TEST(AttributeEditor, TheValueColumnFitsANarrowPanelSoRightAlignedNumbersShow)
{
    AttributesFixture fixture;
    fixture.tab->view()->resize(233, 500); // the side panel's width
    fixture.tab->view()->show();
    VXDrawableObjectPtr shape = fixture.addShape({{"count", 7}});
    fixture.select({shape});
    QTableView* table = fixture.editor().tableView();
    ASSERT_TRUE(table);
    const QModelIndex value = table->model()->index(fixture.rowOf("count"), VXQAttributeController::kValueColumn);
    EXPECT_EQ(table->horizontalScrollBar()->maximum(), 0);
    EXPECT_TRUE(table->viewport()->rect().contains(table->visualRect(value)));
}

TEST(AttributeEditor, MixedValuesShowInRedAndMultiObjectEditsAskFirst)
{
    AttributesFixture fixture;
    VXDrawableObjectPtr first = fixture.addShape({{"name", "North"}, {"flag", true}});
    VXDrawableObjectPtr second = fixture.addShape({{"name", "South"}, {"flag", false}});
    fixture.select({first, second});
    VXQAttributeController& editor = fixture.editor();
    AttributeTableModel* model = editor.tableModel();
    const QModelIndex name = model->index(fixture.rowOf("name"), VXQAttributeController::kValueColumn);
    EXPECT_EQ(name.data().toString(), "<multiple values>");
    EXPECT_EQ(name.data(Qt::ForegroundRole).value<QColor>(), QColor(Qt::red));
    EXPECT_EQ(name.data(Qt::EditRole).toString(), "");
    const QModelIndex flag = model->index(fixture.rowOf("flag"), VXQAttributeController::kValueColumn);
    EXPECT_EQ(flag.data(Qt::CheckStateRole).toInt(), int(Qt::PartiallyChecked));

    // Declining changes nothing but keeps the check box's answer.
    ASSERT_TRUE(model->setData(name, "Ring Road", Qt::EditRole));
    QMessageBox* box = editor.confirmationBox();
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->text(), "Change Multiple Objects Attribute?");
    EXPECT_EQ(box->informativeText(), "The value of 'NAME' for 2 items will be changed to: Ring Road");
    EXPECT_FALSE(box->checkBox()->isChecked());
    buttonTitled(box, "Don't Change")->click();
    fixture.endStep();
    EXPECT_EQ(first->metadataItemForKey("name")->stringValue(), "North");
    EXPECT_TRUE(VXQAttributeController::confirmsDataEdits());
    EXPECT_EQ(fixture.undo.numberOfUndoActions(), 0);

    ASSERT_TRUE(model->setData(name, "Ring Road", Qt::EditRole));
    box = editor.confirmationBox();
    ASSERT_NE(box, nullptr);
    box->checkBox()->setChecked(true);
    buttonTitled(box, "Change")->click();
    fixture.endStep();
    EXPECT_EQ(first->metadataItemForKey("name")->stringValue(), "Ring Road");
    EXPECT_EQ(second->metadataItemForKey("name")->stringValue(), "Ring Road");
    EXPECT_EQ(fixture.undo.numberOfUndoActions(), 1);
    EXPECT_FALSE(VXQAttributeController::confirmsDataEdits());

    // Turned off: the next edit goes through at once; the mixed check box turns on.
    EXPECT_TRUE(model->setData(model->index(fixture.rowOf("flag"), VXQAttributeController::kValueColumn), Qt::Checked,
                               Qt::CheckStateRole));
    EXPECT_EQ(editor.confirmationBox(), nullptr);
    fixture.endStep();
    EXPECT_TRUE(second->metadataItemForKey("flag")->boolValue());
}

TEST(AttributeEditor, ALockedSingleObjectDisablesTheTableAndButtons)
{
    AttributesFixture fixture;
    VXDrawableObjectPtr shape = fixture.addShape({{"a", 1}});
    shape->setLocked(true);
    fixture.select({shape});
    VXQAttributeController& editor = fixture.editor();
    EXPECT_FALSE(editor.tableView()->isEnabled());
    EXPECT_FALSE(editor.addButton()->isEnabled());
    EXPECT_FALSE(editor.removeButton()->isEnabled());
    editor.addNewItemWithType(kStringIndex);
    fixture.endStep();
    EXPECT_EQ(shape->metadataKeys(), QStringList({"a"}));

    shape->setLocked(false);
    fixture.settle();
    EXPECT_TRUE(editor.tableView()->isEnabled());
    EXPECT_TRUE(editor.addButton()->isEnabled());
    editor.selectKeys({"a"});
    EXPECT_TRUE(editor.removeButton()->isEnabled());
}

TEST(AttributeEditor, ChangesMadeElsewhereReloadTheRows)
{
    AttributesFixture fixture;
    VXDrawableObjectPtr shape = fixture.addShape({{"a", 1}});
    VXDrawableObjectPtr unrelated = fixture.addShape();
    fixture.select({shape});
    shape->setMetadataItemValueForKey(QStringLiteral("x"), "b");
    unrelated->setMetadataItemValueForKey(QStringLiteral("y"), "c");
    fixture.settle();
    EXPECT_EQ(fixture.rows(), QStringList({"A", "B"}));

    // Rows keep their keys when the order changes, and so does the selection.
    VXQAttributeController& editor = fixture.editor();
    editor.selectKeys({"a"});
    editor.sortByColumn(VXQAttributeController::kKeyColumn, Qt::DescendingOrder);
    EXPECT_EQ(fixture.rows(), QStringList({"B", "A"}));
    EXPECT_EQ(editor.selectedKeys(), QStringList({"a"}));
}

TEST(AttributeEditor, TheFilterKeepsKeysByTheChosenOption)
{
    AttributesFixture fixture;
    VXDrawableObjectPtr shape = fixture.addShape({{"abc", 1}, {"cab", 2}, {"xyz", 3}});
    fixture.select({shape});
    VXQAttributeController& editor = fixture.editor();
    editor.setFindOption(kKeyBeginsWith);
    editor.setFilterString(QStringLiteral("ab"));
    EXPECT_EQ(fixture.rows(), QStringList({"ABC"}));
    editor.setFindOption(kKeyContains);
    EXPECT_EQ(fixture.rows(), QStringList({"ABC", "CAB"}));
    editor.setFilterString({});
    EXPECT_EQ(fixture.rows().size(), 3);
}

TEST(AttributeEditor, AChangeToAnyOneSelectedObjectShowsInTheSharedValues)
{
    AttributesFixture fixture;
    QList<VXDrawableObjectPtr> shapes;
    for (int i = 0; i < 4; ++i)
        shapes.append(fixture.addShape({{"zone", "A"}}));
    const auto zone = [&] {
        AttributeTableModel* model = fixture.editor().tableModel();
        return model->index(fixture.rowOf("zone"), VXQAttributeController::kValueColumn).data().toString();
    };
    fixture.select(shapes.mid(0, 3));
    EXPECT_EQ(zone(), "A");

    // The last selected object, an object outside the selection, then after a new selection.
    shapes[2]->setMetadataItemValueForKey(QStringLiteral("B"), "zone");
    fixture.settle();
    EXPECT_EQ(zone(), "<multiple values>");
    shapes[2]->setMetadataItemValueForKey(QStringLiteral("A"), "zone");
    shapes[3]->setMetadataItemValueForKey(QStringLiteral("B"), "zone");
    fixture.settle();
    EXPECT_EQ(zone(), "A");
    fixture.select(shapes.mid(1, 3));
    EXPECT_EQ(zone(), "<multiple values>");
    shapes[3]->setMetadataItemValueForKey(QStringLiteral("A"), "zone");
    shapes[1]->setMetadataItemValueForKey(QStringLiteral("v"), "extra");
    fixture.settle();
    EXPECT_EQ(zone(), "A");
    EXPECT_EQ(fixture.rows(), QStringList({"EXTRA", "ZONE"}));
}

// A layer among the objects (or alone) has no name to show; the rows hold every holder's keys,
// and content given again is read again.
TEST(AttributeEditor, ContentWithTheLayerReadsOnlyLockedAndEveryHoldersKeys)
{
    AttributesFixture fixture;
    fixture.layer->setMetadataItemValueForKey(QStringLiteral("survey"), "source");
    const VXDrawableObjectPtr shape = fixture.addShape({{"lanes", 2}});
    VXQAttributeController& editor = fixture.editor();
    const QStringList named{QStringLiteral("name"), QStringLiteral("locked")};
    const QStringList unnamed{QStringLiteral("locked")};

    editor.setContent({shape});
    EXPECT_EQ(editor.keyPathsOfInterest(), named);
    editor.setContent({shape, fixture.layer});
    EXPECT_EQ(editor.keyPathsOfInterest(), unnamed);
    editor.invalidate();
    EXPECT_EQ(sorted(editor.allItems().keys()), QStringList({"lanes", "source"}));
    editor.setContent({fixture.layer});
    EXPECT_EQ(editor.keyPathsOfInterest(), unnamed);
    editor.setContent({shape});
    EXPECT_EQ(editor.keyPathsOfInterest(), named);
    editor.invalidate();
    EXPECT_EQ(editor.allItems().keys(), QStringList({"lanes"}));
}
