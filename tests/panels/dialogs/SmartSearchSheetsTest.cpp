#include "app/document/VXQMappingLayer.h"
#include "app/document/ZQTrueQuorvaneDocument.h"
#include "panels/dialogs/CriterionRowViews.h"
#include "panels/dialogs/MPAdvancedSearchController.h"
#include "panels/dialogs/MPSearchCriterionController.h"
#include "panels/dialogs/QVNSmartSearchesController.h"
#include "panels/dialogs/SmartSearchListModel.h"
#include "panels/search/DocumentSearch.h"
#include "panels/search/SmartSearchTable.h"
#include "platform/measurement/ZQUnitLength.h"
#include "platform/vantrix/drawables/VXDrawableShape.h"
#include "platform/vantrix/model/VXLayerGroup.h"

#include <QAbstractItemModelTester>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <cmath>
#include <gtest/gtest.h>

using namespace criterionrows;

namespace {

MPSearchQueryPtr areaQuery(double above, bool allLayers)
{
    auto query = std::make_shared<MPSearchQuery>();
    auto criterion = MPSearchCriterion::criterionWithFloatMatchKindIdentifier(above, kMPIsGreaterThan, "area");
    criterion->setName("Area");
    query->addCriterion(criterion);
    if (allLayers)
        query->setAuxiliaryDataBooleanValueForKey(true, kVXQSearchAllLayersOption);
    return query;
}

VXDrawableObjectPtr square(double side, double x)
{
    return VXDrawableShape::drawableShapeWithRect(QRectF(x, 0, side, side),
                                                  VXStyle::styleWithFillColourStrokeColour(Qt::red, Qt::black));
}

class SmartSearchList : public ::testing::Test {
protected:
    void SetUp() override { SmartSearchTable::removeAllSmartSearches(); }
    void TearDown() override { SmartSearchTable::removeAllSmartSearches(); }
};

TEST_F(SmartSearchList, RenamesKeepNamesUnique)
{
    SmartSearchTable::setSmartSearchForKey(areaQuery(1, false), "Roads");
    SmartSearchTable::setSmartSearchForKey(areaQuery(2, false), "Rivers");
    SmartSearchListModel model;
    EXPECT_EQ(model.sortedNames(), (QStringList{"Rivers", "Roads"}));

    EXPECT_EQ(model.renameSearch("Roads", "Roads"), QStringLiteral("Roads"));
    const MPSearchQueryPtr roads = SmartSearchTable::smartSearchForKey("Roads");
    EXPECT_EQ(model.renameSearch("Roads", "Rivers"), QStringLiteral("Rivers 1"));
    EXPECT_EQ(SmartSearchTable::smartSearchForKey("Rivers 1"), roads);
    EXPECT_FALSE(SmartSearchTable::smartSearchForKey("Roads"));

    // An empty name keeps the old one (the table would refuse it after the old one had gone).
    EXPECT_EQ(model.renameSearch("Rivers 1", "  "), QStringLiteral("Rivers 1"));
    EXPECT_FALSE(model.setData(model.index(model.rowOfName("Rivers 1"), 0), QString()));
    EXPECT_EQ(SmartSearchTable::smartSearchForKey("Rivers 1"), roads);
    EXPECT_TRUE(model.setData(model.index(model.rowOfName("Rivers 1"), 0), "avenues"));
    EXPECT_EQ(model.sortedNames(), (QStringList{"avenues", "Rivers"}));
    model.sort(0, Qt::DescendingOrder);
    EXPECT_EQ(model.sortedNames(), (QStringList{"Rivers", "avenues"}));
}

TEST_F(SmartSearchList, CheckMarksAndStoringEditedSearches)
{
    const MPSearchQueryPtr noOption = areaQuery(1, false), no = areaQuery(2, false), all = areaQuery(3, true);
    no->setAuxiliaryDataBooleanValueForKey(false, kVXQSearchAllLayersOption);
    SmartSearchTable::setSmartSearchForKey(noOption, "A");
    SmartSearchTable::setSmartSearchForKey(no, "B");
    SmartSearchTable::setSmartSearchForKey(all, "C");
    SmartSearchListModel model;
    EXPECT_EQ(model.index(0, 1).data().toString(), QString());
    EXPECT_EQ(model.index(1, 1).data().toString(), QString());
    EXPECT_EQ(model.index(2, 1).data().toString(), QString(QChar(0x2714)));
    EXPECT_FALSE(model.flags(model.index(2, 1)) & Qt::ItemIsEditable);

    SmartSearchTable::setSmartSearchForKey(areaQuery(4, false), "Untitled Search");
    const MPSearchQueryPtr added = areaQuery(5, false);
    EXPECT_EQ(model.storeEditedQuery(added, QString()), QStringLiteral("Untitled Search 1"));
    EXPECT_EQ(SmartSearchTable::smartSearchForKey("Untitled Search 1"), added);
    const MPSearchQueryPtr edited = areaQuery(6, true);
    EXPECT_EQ(model.storeEditedQuery(edited, "B"), QStringLiteral("B"));
    EXPECT_EQ(SmartSearchTable::smartSearchForKey("B"), edited);
    EXPECT_EQ(model.rowCount(), 5);
}

// --- With a map document ------------------------------------------------------------------------------------

class SearchSheetsOnADocument : public ::testing::Test {
protected:
    void SetUp() override
    {
        QuorvaneError error;
        ASSERT_TRUE(document->initWithTypeError(kZQMapDocumentType, &error));
        search = DocumentSearch::ofDocument(*document);
        layer = qobject_cast<VXQMappingLayer*>(document->activeLayer());
        ASSERT_TRUE(search && layer);
        DocumentSearch::setBeepHook([] {});
        SmartSearchTable::removeAllSmartSearches();
        // Areas 4, 15 and 25 square points on the active layer, 16 on a layer inside a group.
        document->drawing()->setUnits(ZQUnitLength::points());
        layer->addObjectsFromArray({small, middle, large});
        auto group = std::make_shared<VXLayerGroup>();
        grouped = std::make_shared<VXQMappingLayer>();
        document->drawing()->addLayer(group);
        group->addLayer(grouped);
        grouped->addObject(inGroup);
    }

    void TearDown() override
    {
        DocumentSearch::setBeepHook(nullptr);
        SmartSearchTable::removeAllSmartSearches();
    }

    // Row `index` of the sheet tests Area with the kind and value.
    static void setAreaRow(MPAdvancedSearchController& sheet, int index, int kind, const QString& value)
    {
        MPSearchCriterionController* row = sheet.rowControllers().at(index);
        auto* properties = controlWithTag<QComboBox>(row->view(), kPropertyMenu);
        properties->setCurrentText("Area");
        row->propertyMenuAction();
        auto* kinds = controlWithTag<QComboBox>(row->view(), kMatchKindMenu);
        kinds->setCurrentIndex(kinds->findData(kind));
        row->matchKindMenuAction();
        qobject_cast<QLineEdit*>(row->valueField())->setText(value);
    }

    std::shared_ptr<ZQTrueQuorvaneDocument> document = std::make_shared<ZQTrueQuorvaneDocument>();
    DocumentSearch* search = nullptr;
    VXQMappingLayer* layer = nullptr;
    std::shared_ptr<VXQMappingLayer> grouped;
    VXDrawableObjectPtr small = square(2, 0), middle = square(std::sqrt(15.0), 10), large = square(5, 30),
                        inGroup = square(4, 50);
};

TEST_F(SearchSheetsOnADocument, FindAreaBetweenTenAndTwentyOverAllLayers)
{
    search->openAdvancedSearchDialog();
    MPAdvancedSearchController* sheet = search->advancedSearchController();
    ASSERT_TRUE(sheet);
    ASSERT_EQ(sheet->numberOfRows(), 1);
    EXPECT_FALSE(sheet->saveSmartSearchCheckbox()->isChecked());
    setAreaRow(*sheet, 0, kMPIsGreaterThan, "10");
    sheet->addNewCriterion();
    setAreaRow(*sheet, 1, kMPIsLessThan, "20");
    sheet->allLayersCheckbox()->click();
    sheet->saveSmartSearchCheckbox()->click();
    sheet->performSearch();

    EXPECT_EQ(layer->selection(), QList<VXDrawableObjectPtr>{middle});
    EXPECT_EQ(grouped->selection(), QList<VXDrawableObjectPtr>{inGroup});
    const MPSearchQueryPtr latest = search->latestSearch();
    ASSERT_TRUE(latest);
    EXPECT_TRUE(latest->auxiliaryDataBooleanValueForKey(kVXQSearchAllLayersOption));

    // It asked to be saved: the naming sheet stores it under the typed name.
    ZQSmartSearchNamingController* naming = search->namingController();
    ASSERT_TRUE(naming);
    EXPECT_EQ(naming->nameField()->text(), QStringLiteral("Untitled Search"));
    EXPECT_EQ(naming->descriptionField()->text(), QStringLiteral("Area > '10' and < '20'"));
    naming->nameField()->setText("Middling");
    naming->okAction();
    EXPECT_EQ(SmartSearchTable::smartSearchForKey("Middling"), latest);

    // The sheet opens again on a copy that does not ask to be saved; Cancel keeps the search.
    search->openAdvancedSearchDialog();
    EXPECT_NE(sheet->searchQuery(), latest);
    EXPECT_EQ(sheet->numberOfRows(), 2);
    EXPECT_TRUE(sheet->allLayersCheckbox()->isChecked());
    EXPECT_FALSE(sheet->saveSmartSearchCheckbox()->isChecked());
    sheet->cancel();
    EXPECT_EQ(search->latestSearch(), latest);
}

TEST_F(SearchSheetsOnADocument, SmartSearchesAreAddedEditedAndRun)
{
    SmartSearchTable::setSmartSearchForKey(areaQuery(100, false), "Untitled Search");
    QVNSmartSearchesController sheet;
    sheet.showDialogInParentWindow(nullptr, search);
    const QAbstractItemModelTester tester(sheet.listModel(), QAbstractItemModelTester::FailureReportingMode::Fatal);
    EXPECT_FALSE(sheet.editButton()->isEnabled());

    sheet.addSearchAction();
    MPAdvancedSearchController* editor = sheet.searchEditor();
    ASSERT_TRUE(editor);
    EXPECT_EQ(editor->findButton()->text(), QStringLiteral("Save"));
    EXPECT_TRUE(editor->saveSmartSearchCheckbox()->isHidden());
    setAreaRow(*editor, 0, kMPIsGreaterThan, "20");
    editor->allLayersCheckbox()->click();
    editor->performSearch();
    ASSERT_TRUE(SmartSearchTable::smartSearchForKey("Untitled Search 1"));
    EXPECT_EQ(sheet.selectedName(), QStringLiteral("Untitled Search 1"));
    EXPECT_EQ(sheet.listModel()->index(1, 1).data().toString(), QString(QChar(0x2714)));
    EXPECT_TRUE(sheet.searchButton()->isEnabled());
    EXPECT_TRUE(layer->selection().isEmpty());

    sheet.searchAction();
    EXPECT_EQ(layer->selection(), QList<VXDrawableObjectPtr>{large});

    // Editing replaces the search under its name and shows the new description.
    sheet.editSearchAction();
    EXPECT_EQ(editor->numberOfRows(), 1);
    EXPECT_TRUE(editor->allLayersCheckbox()->isChecked());
    setAreaRow(*editor, 0, kMPIsLessThan, "5");
    editor->performSearch();
    EXPECT_EQ(SmartSearchTable::smartSearchForKey("Untitled Search 1")->criterionAtIndex(0)->matchKind(), kMPIsLessThan);
    EXPECT_EQ(sheet.selectedName(), QStringLiteral("Untitled Search 1"));
    EXPECT_TRUE(sheet.descriptionField()->text().contains("5")) << sheet.descriptionField()->text().toStdString();

    // Renaming in place keeps the renamed search selected.
    sheet.searchesList()->model()->setData(sheet.listModel()->index(1, 0), "Untitled Search");
    EXPECT_EQ(sheet.selectedName(), QStringLiteral("Untitled Search 1"));
    sheet.searchesList()->model()->setData(sheet.listModel()->index(1, 0), "Big ones");
    EXPECT_EQ(sheet.selectedName(), QStringLiteral("Big ones"));
    EXPECT_EQ(sheet.listModel()->sortedNames(), (QStringList{"Big ones", "Untitled Search"}));

    sheet.deleteSearchAction();
    EXPECT_FALSE(SmartSearchTable::smartSearchForKey("Big ones"));
    EXPECT_FALSE(sheet.deleteButton()->isEnabled());
    sheet.closeAction();
}

} // namespace
