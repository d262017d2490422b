#include "library/manager/LibraryManagerWindowBuilder.h"

#include "library/browser/VXQLibraryItemViewController.h"
#include "library/info/VXQLibraryGetInfoController.h"
#include "library/manager/LibraryOutlineView.h"
#include "platform/ui/Menu.h"
#include "widgets/controls/ZQSegmentedControl.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QSplitter>
#include <QToolButton>
#include <QVBoxLayout>

using platform::MenuItem;

namespace {

QToolButton* makeBarButton(const QString& text, const QString& toolTip)
{
    auto* button = new QToolButton;
    button->setText(text);
    button->setToolTip(toolTip);
    button->setAutoRaise(true);
    button->setFixedSize(28, 22);
    return button;
}

} // namespace

LibraryManagerWindowBuilder::LibraryManagerWindowBuilder(QObject* actionTarget)
    : m_actionTarget(actionTarget)
{
}

LibraryManagerWidgets LibraryManagerWindowBuilder::build(LibraryOutlineView* outline, VXQLibraryItemViewController& browser,
                                                         VXQLibraryGetInfoController& getInfo)
{
    m_widgets.window = new QWidget;
    m_widgets.window->setObjectName(QStringLiteral("QuorvaneLibraryManager"));
    m_widgets.window->setWindowTitle(tr("Library Manager"));
    m_widgets.window->resize(820, 520);

    auto* splitter = new QSplitter(Qt::Horizontal);
    splitter->addWidget(outline);
    splitter->addWidget(makeRightPane(browser, getInfo));
    splitter->setStretchFactor(0, 0);
    splitter->setStretchFactor(1, 1);
    // The outline keeps its width while the window is resized.
    splitter->setSizes({220, 600});

    auto* layout = new QVBoxLayout(m_widgets.window);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(splitter, 1);
    layout->addWidget(makeBottomBar());
    makeMenuBar(browser);
    return m_widgets;
}

QWidget* LibraryManagerWindowBuilder::makeRightPane(VXQLibraryItemViewController& browser, VXQLibraryGetInfoController& getInfo)
{
    auto* pane = new QWidget;
    auto* search = new QLineEdit;
    search->setObjectName(QStringLiteral("searchField"));
    search->setPlaceholderText(tr("Search"));
    search->setClearButtonEnabled(true);
    search->setMaximumWidth(240);
    m_widgets.searchField = search;
    auto* modeButton = new QToolButton;
    modeButton->setText(QStringLiteral("⌕"));
    modeButton->setToolTip(tr("Search options"));
    modeButton->setMenu(makeSearchModesMenu(pane));
    modeButton->setPopupMode(QToolButton::InstantPopup);
    modeButton->setAutoRaise(true);

    QWidget* items = browser.view();
    browser.awakeFromInterface();
    QWidget* info = getInfo.view();
    info->setVisible(false);
    auto* infoButton = new QToolButton;
    infoButton->setText(tr("Info"));
    infoButton->setToolTip(tr("Get Info"));
    infoButton->setCheckable(true);
    infoButton->setAutoRaise(true);
    QObject::connect(infoButton, &QToolButton::toggled, info, &QWidget::setVisible);

    auto* searchRow = new QHBoxLayout;
    searchRow->setContentsMargins(6, 4, 6, 4);
    searchRow->addWidget(browser.layoutModeControl());
    searchRow->addWidget(browser.iconSizeControl());
    searchRow->addWidget(browser.sortByPopUpButton());
    searchRow->addStretch();
    searchRow->addWidget(modeButton);
    searchRow->addWidget(search);
    searchRow->addWidget(infoButton);
    auto* browserAndInfo = new QHBoxLayout;
    browserAndInfo->setContentsMargins(0, 0, 0, 0);
    browserAndInfo->addWidget(items, 1);
    browserAndInfo->addWidget(info);
    // The key is what maps and libraries know the item by; named, it reads as such and not
    // as a stray code.
    auto* identifierRow = new QHBoxLayout;
    identifierRow->setContentsMargins(6, 2, 6, 2);
    identifierRow->setSpacing(6); // the pane's layout runs its rows together
    auto* identifierTitle = new QLabel(tr("Unique key:"));
    m_widgets.itemIdentifierField = new QLabel;
    m_widgets.itemIdentifierField->setObjectName(QStringLiteral("itemIdentifier"));
    m_widgets.itemIdentifierField->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_widgets.itemIdentifierField->setToolTip(tr("The key by which maps and libraries refer to the selected item"));
    identifierTitle->setBuddy(m_widgets.itemIdentifierField);
    identifierRow->addWidget(identifierTitle);
    identifierRow->addWidget(m_widgets.itemIdentifierField, 1);

    auto* layout = new QVBoxLayout(pane);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addLayout(searchRow);
    layout->addLayout(browserAndInfo, 1);
    layout->addLayout(identifierRow);
    return pane;
}

QMenu* LibraryManagerWindowBuilder::makeSearchModesMenu(QWidget* parent)
{
    auto* modes = new platform::Menu(tr("Search"), parent);
    const QStringList titles{tr("Contains"), tr("Begins With"), tr("Like"), tr("Ends With")};
    for (int mode = 0; mode < titles.size(); ++mode) {
        MenuItem* item = modes->addItemWithTitleActionKeyEquivalent(titles[mode], "searchFieldModeAction");
        item->setTag(mode);
        item->setTarget(m_actionTarget);
    }
    modes->addSeparator();
    modes->addItemWithTitleActionKeyEquivalent(tr("Convert to Smart Category"), "searchFieldConvertToSmartCategoryAction")
        ->setTarget(m_actionTarget);
    return modes;
}

QWidget* LibraryManagerWindowBuilder::makeBottomBar()
{
    auto* bar = new QWidget;
    bar->setObjectName(QStringLiteral("bottomBar"));
    bar->setFixedHeight(26);
    auto* layout = new QHBoxLayout(bar);
    layout->setContentsMargins(4, 0, 8, 0);
    layout->setSpacing(1);
    auto& buttons = m_widgets.barButtons;
    buttons[0] = makeBarButton(QStringLiteral("+"), tr("New Category"));
    buttons[1] = makeBarButton(QStringLiteral("−"), tr("Delete Category"));
    buttons[2] = makeBarButton(QStringLiteral("⊞"), tr("New Collection"));
    buttons[3] = makeBarButton(QStringLiteral("⚙"), tr("Actions"));
    for (int segment = 0; segment < 3; ++segment)
        buttons[segment]->setProperty("tag", segment);
    m_widgets.actionMenu = makeActionMenu(buttons[3]);
    buttons[3]->setMenu(m_widgets.actionMenu);
    buttons[3]->setPopupMode(QToolButton::InstantPopup);
    for (QToolButton* button : buttons)
        layout->addWidget(button);
    m_widgets.itemsInfoField = new QLabel;
    m_widgets.itemsInfoField->setObjectName(QStringLiteral("itemsInfo"));
    layout->addStretch();
    layout->addWidget(m_widgets.itemsInfoField);
    layout->addStretch();
    return bar;
}

QMenu* LibraryManagerWindowBuilder::makeActionMenu(QWidget* parent)
{
    auto* menu = new platform::Menu(QString(), parent);
    const auto add = [this, menu](const QString& title, const QByteArray& action) {
        menu->addItemWithTitleActionKeyEquivalent(title, action)->setTarget(m_actionTarget);
    };
    add(tr("New Collection"), "newLibraryAction");
    add(tr("New Category"), "newCategoryAction");
    add(tr("New Smart Category"), "newSmartCategoryAction");
    add(tr("Edit Smart Category..."), "editSmartCategoryAction");
    menu->addSeparator();
    add(tr("Rename"), "renameAction");
    add(tr("Delete Category"), "deleteCategoryAction");
    add(tr("Delete Collection..."), "deleteLibraryAction");
    add(tr("Make Default Collection"), "nominateDefaultLibraryAction");
    menu->addSeparator();
    add(tr("Remove Items From Category"), "removeItemsAction");
    add(tr("Edit Symbols..."), "editItemsAction");
    m_widgets.moveToMenu = new platform::Menu(tr("Move To Collection"), menu);
    menu->addMenu(m_widgets.moveToMenu);
    menu->addSeparator();
    add(tr("Import Collection..."), "importLibraryAction");
    add(tr("Export Collection..."), "exportLibraryAction");
    add(tr("Show in File Manager"), "revealInFinderAction");
    add(tr("Share"), "toggleLibrarySharing");
    menu->addSeparator();
    auto* sort = new platform::Menu(tr("Sort Categories By"), menu);
    const QStringList sortTitles{tr("Name"), tr("Kind"), tr("Number of Items")};
    for (int mode = 0; mode < sortTitles.size(); ++mode) {
        MenuItem* item = sort->addItemWithTitleActionKeyEquivalent(sortTitles[mode], "sortMainListAction");
        item->setTag(mode);
        item->setTarget(m_actionTarget);
    }
    menu->addMenu(sort);
    add(tr("Show Collection Counts"), "toggleShowLibraryCounts");
    add(tr("Show Category Counts"), "toggleShowCategoryCounts");
    menu->addSeparator();
    add(tr("Page Setup..."), "runPageLayout");
    add(tr("Print..."), "printDocument");
    add(tr("Library Manager Help"), "helpButtonAction");
    return menu;
}

void LibraryManagerWindowBuilder::makeMenuBar(VXQLibraryItemViewController& browser)
{
    auto* bar = new QMenuBar(m_widgets.window);
    auto* file = new platform::Menu(tr("&File"), bar);
    file->addItemWithTitleActionKeyEquivalent(tr("Import Collection..."), "importLibraryAction");
    file->addItemWithTitleActionKeyEquivalent(tr("Export Collection..."), "exportLibraryAction");
    file->addSeparator();
    file->addItemWithTitleActionKeyEquivalent(tr("Page Setup..."), "runPageLayout");
    file->addItemWithTitleActionKeyEquivalent(tr("Print..."), "printDocument")->setStandardKey(QKeySequence::Print);
    file->addSeparator();
    file->addItemWithTitleActionKeyEquivalent(tr("Close"), "performClose")->setStandardKey(QKeySequence::Close);
    file->addItemWithTitleActionKeyEquivalent(tr("Quit"), "terminate")->setStandardKey(QKeySequence::Quit);
    bar->addMenu(file);
    // Cut, Copy and Paste go to what has the keyboard (the search field, the manager); the item
    // commands always to the items.
    auto* edit = new platform::Menu(tr("&Edit"), bar);
    edit->addItemWithTitleActionKeyEquivalent(tr("Cut"), "cut")->setStandardKey(QKeySequence::Cut);
    edit->addItemWithTitleActionKeyEquivalent(tr("Copy"), "copy")->setStandardKey(QKeySequence::Copy);
    edit->addItemWithTitleActionKeyEquivalent(tr("Paste"), "paste")->setStandardKey(QKeySequence::Paste);
    browser.addItemCommands(*edit);
    bar->addMenu(edit);
    bar->addMenu(browser.makeViewMenu(tr("&View"), bar));
    bar->addMenu(m_widgets.actionMenu)->setText(tr("&Collection"));
    m_widgets.window->layout()->setMenuBar(bar);
}
