#include "panels/dialogs/CriterionRowViews.h"
#include "panels/dialogs/MPAdvancedSearchController.h"
#include "panels/dialogs/MPSearchCriterionController.h"
#include "panels/dialogs/SearchCriteriaModel.h"
#include "platform/foundation/ZQAssert.h"
#include "support/ArchiveTesting.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QLineEdit>
#include <gtest/gtest.h>

using namespace criterionrows;

namespace {

// Answers a fixed property list and records what the sheet hands back.
class FakeSearchDelegate : public QObject, public AdvancedSearchDelegate {
public:
    QStringList names{"Angle", "Area", "Height", "Style Name", "Width"};
    MPSearchQueryPtr offered;
    QList<MPSearchQueryPtr> searched;
    int closes = 0;

    QStringList searchableProperties() const override { return names; }
    int dataTypeForProperty(const QString& name) const override
    {
        return name == "Style Name" ? kMPStringType : name == "Lanes" ? kMPRangeType : kMPFloatType;
    }
    QString identifierForProperty(const QString& name) const override { return name.toLower(); }
    void searchControllerRequestQuery(MPAdvancedSearchController& sheet) override
    {
        if (offered)
            sheet.setSearchQuery(offered);
    }
    void searchWithQuery(const MPSearchQueryPtr& query) override { searched.append(query); }
    void searchControllerDidCloseWindow(MPAdvancedSearchController&) override { ++closes; }
};

MPSearchCriterionPtr floatCriterion(const QString& name, int kind, double value)
{
    auto criterion = MPSearchCriterion::criterionWithFloatMatchKindIdentifier(value, kind, name.toLower());
    criterion->setName(name);
    return criterion;
}

MPSearchQueryPtr queryOf(const QList<MPSearchCriterionPtr>& criteria)
{
    auto query = std::make_shared<MPSearchQuery>();
    for (const MPSearchCriterionPtr& criterion : criteria)
        query->addCriterion(criterion);
    return query;
}

QList<QString> criterionNames(const MPSearchQuery& query)
{
    QList<QString> names;
    for (const MPSearchCriterionPtr& criterion : query.criteria())
        names.append(criterion->name());
    return names;
}

class SearchRows : public ::testing::Test {
protected:
    void SetUp() override { model.setPropertySource(&properties); }
    FakeSearchDelegate properties;
    SearchCriteriaModel model;
};

TEST_F(SearchRows, NewRowsTakeTheNextPropertyAndAFreshQueryTheFirst)
{
    model.setQuery(nullptr);
    ASSERT_EQ(model.rowCount(), 1);
    EXPECT_EQ(model.rows().first()->criterion->name(), QStringLiteral("Angle"));
    EXPECT_EQ(model.rows().first()->criterion->identifier(), QStringLiteral("angle"));
    properties.names = {"Angle", "Area", "Height"};
    model.addRow();
    model.addRow();
    model.addRow();
    EXPECT_EQ(criterionNames(*model.query()), (QList<QString>{"Angle", "Area", "Height", "Height"}));
    EXPECT_TRUE(model.matchModeEnabled());

    // A query without criteria is refused; without properties no row can be made.
    const MPSearchQueryPtr shown = model.query();
    model.setQuery(std::make_shared<MPSearchQuery>());
    EXPECT_EQ(model.query(), shown);
    properties.names.clear();
    model.setQuery(nullptr);
    EXPECT_EQ(model.rowCount(), 0);
    EXPECT_FALSE(model.addRow());
}

TEST_F(SearchRows, ChoosingAPropertyKeepsOrReplacesTheCriterion)
{
    model.setQuery(queryOf({floatCriterion("Width", kMPIsGreaterThan, 4), floatCriterion("Area", kMPIsLessThan, 9)}));
    const SearchCriterionRow* first = model.rows().first().get();
    const MPSearchCriterionPtr kept = first->criterion;
    qsizetype replaced = -1;
    QObject::connect(&model, &SearchCriteriaModel::rowReplaced, [&](qsizetype index) { replaced = index; });

    EXPECT_FALSE(model.choosePropertyForRow(first, "Height"));
    EXPECT_EQ(first->criterion, kept);
    EXPECT_EQ(kept->matchKind(), kMPIsGreaterThan);
    EXPECT_EQ(kept->objectValue().toDouble(), 0.0);
    EXPECT_EQ(kept->identifier(), QStringLiteral("height"));
    EXPECT_EQ(kept->name(), QStringLiteral("Height"));

    EXPECT_TRUE(model.choosePropertyForRow(first, "Style Name"));
    EXPECT_EQ(replaced, 0);
    EXPECT_EQ(first->criterion->dataType(), kMPStringType);
    EXPECT_EQ(first->criterion->matchKind(), kMPContains);
    // The replacement joined the end of the query until the rows are committed.
    EXPECT_EQ(criterionNames(*model.query()), (QList<QString>{"Area", "Style Name"}));
    model.commitRowOrder();
    EXPECT_EQ(criterionNames(*model.query()), (QList<QString>{"Style Name", "Area"}));
}

TEST_F(SearchRows, ADeleteRemovesItsOwnRowAfterATypeChange)
{
    model.setQuery(queryOf({floatCriterion("Width", kMPIsEqualTo, 1), floatCriterion("Area", kMPIsEqualTo, 2),
                            floatCriterion("Angle", kMPIsEqualTo, 3)}));
    const SearchCriterionRowPtr middle = model.rows().at(1);
    model.choosePropertyForRow(middle.get(), "Style Name");
    // The middle row's criterion is now last in the query, the row still second.
    model.removeRow(middle.get());
    EXPECT_EQ(criterionNames(*model.query()), (QList<QString>{"Width", "Angle"}));
    EXPECT_EQ(model.rowCount(), 2);
    EXPECT_EQ(model.indexOfRow(middle.get()), -1);
    model.removeRow(middle.get()); // gone already
    EXPECT_EQ(model.rowCount(), 2);
}

TEST_F(SearchRows, RangeBoundsNeverRunBackwards)
{
    auto range = MPSearchCriterion::criterionWithRangeMatchKindIdentifier({0, 0}, kMPIsWithinRange, "lanes");
    model.setQuery(queryOf({range}));
    const SearchCriterionRow* row = model.rows().first().get();
    EXPECT_EQ(model.setRangeBoundsForRow(row, 10, 5), (SearchRange{10, 0}));
    EXPECT_EQ(range->objectValue().value<SearchRange>(), (SearchRange{10, 0}));
    EXPECT_EQ(model.setRangeBoundsForRow(row, 3, 8), (SearchRange{3, 5}));
    EXPECT_EQ(model.setRangeBoundsForRow(row, -4, 2), (SearchRange{0, 2}));
}

// --- The sheet ----------------------------------------------------------------------------------------------

class AdvancedSearchSheet : public ::testing::Test {
protected:
    void SetUp() override { sheet.setDelegate(&delegate); }

    MPSearchCriterionController* row(int index) const { return sheet.rowControllers().at(index); }
    QAbstractButton* deleteButton(int index) const { return controlWithTag<QAbstractButton>(row(index)->view(), kDelete); }

    FakeSearchDelegate delegate;
    MPAdvancedSearchController sheet;
};

TEST_F(AdvancedSearchSheet, TheWindowGrowsAndShrinksByARowKeepingItsTop)
{
    sheet.setSearchQuery(queryOf({floatCriterion("Width", kMPIsEqualTo, 1)}));
    sheet.move(100, 200);
    const int oneRow = sheet.height();
    EXPECT_FALSE(sheet.searchModePopUp()->isEnabled());
    EXPECT_TRUE(deleteButton(0)->isHidden());

    sheet.setSearchQuery(queryOf({floatCriterion("Width", kMPIsEqualTo, 1), floatCriterion("Area", kMPIsEqualTo, 2),
                                  floatCriterion("Angle", kMPIsEqualTo, 3)}));
    ASSERT_EQ(sheet.rowControllers().size(), 3);
    EXPECT_EQ(sheet.height(), oneRow + 2 * kRowHeight);
    EXPECT_EQ(sheet.y(), 200);
    EXPECT_TRUE(sheet.searchModePopUp()->isEnabled());

    deleteButton(1)->click();
    EXPECT_EQ(sheet.height(), oneRow + kRowHeight);
    EXPECT_FALSE(deleteButton(0)->isHidden());
    EXPECT_EQ(criterionNames(*sheet.searchQuery()), (QList<QString>{"Width", "Angle"}));
    deleteButton(0)->click();
    EXPECT_EQ(sheet.height(), oneRow);
    EXPECT_TRUE(deleteButton(0)->isHidden());
    EXPECT_FALSE(sheet.searchModePopUp()->isEnabled());

    sheet.addNewCriterion();
    EXPECT_EQ(sheet.height(), oneRow + kRowHeight);
    EXPECT_TRUE(sheet.searchModePopUp()->isEnabled());
    EXPECT_EQ(sheet.y(), 200);
}

TEST_F(AdvancedSearchSheet, RowsShowAndReadTheirValues)
{
    SearchIndexSet tags;
    tags.addRange({3, 3});
    auto set = MPSearchCriterion::criterionWithIndexSetMatchKindIdentifier(tags, kMPIsInSet, "tags");
    auto range = MPSearchCriterion::criterionWithRangeMatchKindIdentifier({2, 3}, kMPIsWithinRange, "lanes");
    auto width = floatCriterion("Width", kMPIsGreaterThan, 7.5);
    // A Set criterion only ever comes from an archive: it gets a row that shows its members.
    const auto stored = testsupport::roundTrip<MPSearchQuery>(*queryOf({floatCriterion("Area", kMPIsEqualTo, 1), set}));
    ASSERT_TRUE(stored);
    sheet.setSearchQuery(stored);
    ASSERT_EQ(sheet.rowControllers().size(), 2);
    auto* members = qobject_cast<QLineEdit*>(row(1)->valueField());
    ASSERT_TRUE(members);
    EXPECT_TRUE(members->isReadOnly());
    EXPECT_EQ(members->text(), tags.description());
    EXPECT_EQ(controlWithTag<QComboBox>(row(1)->view(), kMatchKindMenu)->currentData().toInt(), kMPIsInSet);

    sheet.setSearchQuery(queryOf({width, range}));

    auto* start = controlWithTag<QLineEdit>(row(1)->view(), kValueField);
    auto* end = controlWithTag<QLineEdit>(row(1)->view(), kRangeEndField);
    EXPECT_EQ(start->text(), QStringLiteral("2"));
    EXPECT_EQ(end->text(), QStringLiteral("5"));
    start->setText("10");
    end->setText("5");
    row(1)->updateCriterionValue();
    EXPECT_EQ(range->objectValue().value<SearchRange>(), (SearchRange{10, 0}));
    EXPECT_EQ(end->text(), QStringLiteral("10"));

    // Text that is no number leaves the value; a number is taken.
    auto* value = qobject_cast<QLineEdit*>(row(0)->valueField());
    EXPECT_EQ(value->text(), QStringLiteral("7.5"));
    for (const QString& typed : {QStringLiteral("ten"), QString(), QStringLiteral("nan"), QStringLiteral("1e400")}) {
        value->setText(typed);
        row(0)->updateCriterionValue();
        EXPECT_EQ(width->objectValue().toDouble(), 7.5) << typed.toStdString();
    }
    value->setText("12");
    row(0)->updateCriterionValue();
    EXPECT_EQ(width->objectValue().toDouble(), 12.0);
    EXPECT_EQ(width->matchKind(), kMPIsGreaterThan);

    // Equality is as fine as the decimals typed, trailing zeros included.
    for (const auto& [typed, tolerance] : {std::pair{QStringLiteral("0.10"), 0.005}, {QStringLiteral("0.1"), 0.01},
                                           {QStringLiteral("2.125"), 0.0005}, {QStringLiteral("3"), 0.01}}) {
        value->setText(typed);
        row(0)->updateCriterionValue();
        EXPECT_DOUBLE_EQ(width->equalityTolerance(), tolerance) << typed.toStdString();
    }
}

TEST_F(AdvancedSearchSheet, ChangingARowsTypeRebuildsItAndFindCommitsRowOrder)
{
    sheet.setSearchQuery(queryOf({floatCriterion("Width", kMPIsEqualTo, 1), floatCriterion("Area", kMPIsEqualTo, 2)}));
    auto* properties = controlWithTag<QComboBox>(row(0)->view(), kPropertyMenu);
    ASSERT_EQ(properties->count(), delegate.names.size());
    properties->setCurrentText("Style Name");
    row(0)->propertyMenuAction();
    EXPECT_TRUE(controlWithTag(row(0)->view(), kIgnoreCase));
    EXPECT_EQ(controlWithTag<QComboBox>(row(0)->view(), kMatchKindMenu)->currentData().toInt(), kMPContains);
    qobject_cast<QLineEdit*>(row(0)->valueField())->setText("Road");

    sheet.performSearch();
    ASSERT_EQ(delegate.searched.size(), 1);
    const MPSearchQueryPtr found = delegate.searched.first();
    EXPECT_EQ(criterionNames(*found), (QList<QString>{"Style Name", "Area"}));
    EXPECT_EQ(found->criterionAtIndex(0)->objectValue().toString(), QStringLiteral("Road"));
    EXPECT_EQ(delegate.closes, 1);

    sheet.cancel();
    EXPECT_EQ(delegate.searched.size(), 1);
    EXPECT_EQ(delegate.closes, 2);
}

TEST_F(AdvancedSearchSheet, ShowingAsksTheDelegateEachTime)
{
    delegate.offered = queryOf({floatCriterion("Area", kMPIsGreaterThan, 10)});
    sheet.showSheetInParentWindow(nullptr, &delegate);
    EXPECT_EQ(sheet.searchQuery(), delegate.offered);
    sheet.setAllLayersCheckboxValue(true);
    EXPECT_TRUE(delegate.offered->auxiliaryDataBooleanValueForKey(kVXQSearchAllLayersOption));
    sheet.cancel();
    EXPECT_FALSE(sheet.isVisible());

    // Nothing offered: a fresh query for the first property.
    delegate.offered = nullptr;
    sheet.showSheetInParentWindow(nullptr, nullptr);
    ASSERT_TRUE(sheet.searchQuery());
    EXPECT_EQ(criterionNames(*sheet.searchQuery()), QList<QString>{"Angle"});
    sheet.cancel();
}

} // namespace
