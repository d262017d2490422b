#include "LibraryTesting.h"

#include "library/categories/VXQLibrarySmartCategory.h"
#include "library/info/VXQLibrarySharingController.h"
#include "library/info/VXQLibrarySmartCategoryEditController.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QSpinBox>

using platform::Predicate;

namespace {

class FinishRecorder : public QObject, public VXQLibrarySmartCategoryEditorDelegate {
public:
    void smartCategoryEditorDidFinishEditingCategory(VXQLibrarySmartCategoryEditController*,
                                                     VXQLibrarySmartCategory* category) override
    {
        finished.append(category);
    }
    QList<VXQLibrarySmartCategory*> finished;
};

class UploadSource : public QObject, public VXQLibrarySharingDelegate {
public:
    std::shared_ptr<VXQLibrary> libraryToUpload() override { return library; }
    std::shared_ptr<VXQLibrary> library;
};

} // namespace

class CategorySheetsTest : public LibraryTest {
protected:
    void SetUp() override
    {
        LibraryTest::SetUp();
        library = makeLibrary(QStringLiteral("Base"));
        for (const char* name : {"Main Road", "Road", "River", "Lake", "Track"})
            library->addItem(makeStyleItem(QString::fromLatin1(name)));
        smart = std::make_shared<VXQLibrarySmartCategory>();
        smart->initWithNameLibrary(QStringLiteral("Roads"), library.get());
        smart->setPredicate(Predicate::orPredicate(
            {Predicate::comparison(QStringLiteral("name"), Predicate::Operator::Contains, QStringLiteral("R"),
                                   Predicate::CaseInsensitive)}));
        library->addCategory(smart);
        window.resize(600, 400);
        window.show();
    }

    VXQLibraryPtr library;
    std::shared_ptr<VXQLibrarySmartCategory> smart;
    QWidget window;
    FinishRecorder delegate;
};

TEST_F(CategorySheetsTest, TheLimitAppliesAtOnceAndCancelPutsItBack)
{
    VXQLibrarySmartCategoryEditController editor;
    editor.beginSmartCategoryEditOnParentWindowWithDelegate(smart.get(), &window, &delegate);
    EXPECT_FALSE(editor.setLimitCheckbox()->isChecked());
    EXPECT_FALSE(editor.limitField()->isEnabled());
    const qint64 allMatches = smart->allElements().size();
    ASSERT_EQ(allMatches, 4);

    // Ticking the box limits to 10 and puts the field to work.
    editor.setLimitCheckbox()->setChecked(true);
    editor.enableLimitAction(editor.setLimitCheckbox());
    EXPECT_EQ(smart->countLimit(), 10);
    EXPECT_TRUE(editor.limitField()->isEnabled());
    EXPECT_EQ(editor.limitField()->value(), 10);
    const QWidget* focus = editor.window()->focusWidget();
    EXPECT_TRUE(focus == editor.limitField() || (focus && focus->parentWidget() == editor.limitField()));

    editor.limitField()->setValue(2);
    EXPECT_EQ(smart->countLimit(), 2);
    EXPECT_EQ(smart->allElements().size(), 2);

    // Edit the rule too; Cancel restores the limit and never the rule.
    editor.predicateEditor()->setRuleValue(0, QStringLiteral("Lake"));
    editor.cancelAction(nullptr);
    EXPECT_EQ(smart->countLimit(), 0);
    EXPECT_EQ(smart->allElements().size(), allMatches);
    EXPECT_EQ(smart->predicate()->predicateFormat(), u"name CONTAINS[c] \"R\"");
    EXPECT_TRUE(delegate.finished.isEmpty());
    EXPECT_FALSE(editor.window()->isVisible());
}

TEST_F(CategorySheetsTest, ConfirmingKeepsTheLimitAndTakesTheRule)
{
    VXQLibrarySmartCategoryEditController editor;
    editor.beginSmartCategoryEditOnParentWindowWithDelegate(smart.get(), &window, &delegate);
    // The loaded rule keeps its options; the row shows it.
    EXPECT_EQ(editor.predicateEditor()->numberOfRuleRows(), 1);
    EXPECT_EQ(qobject_cast<QLineEdit*>(editor.predicateEditor()->valueField(0))->text(), u"R");

    editor.setCountLimit(5);
    editor.predicateEditor()->insertRuleAfter(0);
    editor.predicateEditor()->keyPopUp(1)->setCurrentIndex(editor.predicateEditor()->keyPopUp(1)->findData(
        QStringLiteral("locked")));
    editor.predicateEditor()->setRuleValue(1, false);
    editor.predicateEditor()->matchPopUp()->setCurrentIndex(1);
    editor.okAction(nullptr);

    EXPECT_EQ(smart->countLimit(), 5);
    EXPECT_EQ(smart->predicate()->predicateFormat(), u"name CONTAINS[c] \"R\" AND locked == NO")
        << smart->predicate()->predicateFormat().toStdString();
    EXPECT_EQ(delegate.finished, (QList<VXQLibrarySmartCategory*>{smart.get()}));
    EXPECT_EQ(smart->allElements().size(), 4);

    // Opening it again starts from the category as it now is.
    VXQLibrarySmartCategoryEditController again;
    again.beginSmartCategoryEditOnParentWindowWithDelegate(smart.get(), &window, &delegate);
    EXPECT_EQ(again.predicateEditor()->numberOfRuleRows(), 2);
    EXPECT_EQ(again.limitField()->value(), 5);
    EXPECT_TRUE(again.predicateEditor()->objectValue()->isEqualTo(*smart->predicate()));
    again.cancelAction(nullptr);
    EXPECT_EQ(smart->countLimit(), 5);
}

TEST_F(CategorySheetsTest, RulesWithQuotesAndWildcardsRoundTrip)
{
    VXQLibrarySmartCategoryEditController editor;
    editor.beginSmartCategoryEditOnParentWindowWithDelegate(smart.get(), &window, &delegate);
    LibraryRuleEditor* rules = editor.predicateEditor();
    rules->operatorPopUp(0)->setCurrentIndex(rules->operatorPopUp(0)->findData(int(Predicate::Operator::Like)));
    rules->setRuleValue(0, QStringLiteral("*\"road\"%?\\"));
    editor.okAction(nullptr);
    const platform::PredicatePtr stored = smart->predicate();
    ASSERT_EQ(stored->subpredicates().size(), 1);
    EXPECT_EQ(stored->subpredicates().first()->value().toString(), u"*\"road\"%?\\");
    EXPECT_TRUE(smart->allElements().isEmpty());

    // Removing the last row is refused; a kind rule offers only "is".
    rules->removeRule(0);
    EXPECT_EQ(rules->numberOfRuleRows(), 1);
    rules->keyPopUp(0)->setCurrentIndex(rules->keyPopUp(0)->findData(QStringLiteral("classCode")));
    EXPECT_EQ(rules->operatorPopUp(0)->count(), 1);
    rules->setRuleValue(0, 1);
    EXPECT_EQ(rules->objectValue()->predicateFormat(), u"classCode == 1");
}

TEST_F(CategorySheetsTest, TheSheetGrowsWithItsRows)
{
    VXQLibrarySmartCategoryEditController editor;
    editor.beginSmartCategoryEditOnParentWindowWithDelegate(smart.get(), &window, &delegate);
    const QRect before = editor.window()->geometry();
    const int rowHeight = editor.predicateEditor()->rowHeight();
    editor.predicateEditor()->insertRuleAfter(0);
    editor.predicateEditor()->insertRuleAfter(-1);
    const QRect after = editor.window()->geometry();
    EXPECT_EQ(after.height(), rowHeight * 4 + VXQLibrarySmartCategoryEditController::kChromeHeight);
    EXPECT_EQ(after.height() - before.height(), 2 * rowHeight);
    EXPECT_EQ(after.top(), before.top());
    editor.predicateEditor()->removeRule(2);
    EXPECT_EQ(editor.window()->geometry().height(), before.height() + rowHeight);
    editor.cancelAction(nullptr);
}

TEST_F(CategorySheetsTest, SharingStoresCreditAndDescriptionOnly)
{
    EXPECT_FALSE(VXQLibrarySharingController::sharingAvailable());
    library->setCreator(QStringLiteral("Ann"));
    library->setUserDescription(QStringLiteral("Old"));
    UploadSource source;
    source.library = library;

    VXQLibrarySharingController sharing;
    sharing.beginShareLibraryDialogWithParentDelegate(&window, &source);
    EXPECT_EQ(sharing.nameField()->text(), u"Base");
    EXPECT_EQ(sharing.creditField()->text(), u"Ann");
    EXPECT_EQ(sharing.briefDescriptionField()->text(), u"Old");
    EXPECT_FALSE(sharing.uploadProgress()->isVisible());
    EXPECT_FALSE(sharing.uploadInfoField()->isVisible());

    sharing.creditField()->setText(QStringLiteral("Bob"));
    sharing.briefDescriptionField()->clear();
    sharing.cancelAction(nullptr);
    EXPECT_EQ(library->creator(), u"Ann");

    sharing.beginShareLibraryDialogWithParentDelegate(&window, &source);
    sharing.creditField()->setText(QStringLiteral("Bob"));
    sharing.briefDescriptionField()->clear();
    sharing.submitAction(nullptr);
    EXPECT_EQ(library->creator(), u"Bob");
    EXPECT_EQ(library->userDescription(), u"");
    EXPECT_EQ(library->name(), u"Base");
}
