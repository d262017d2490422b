// A scratch collection of styles and symbols shown in the item browser beside the get-info
// panel, or in the smart-category and sharing sheets.

#include "library/LibraryClasses.h"
#include "library/browser/VXQLibraryItemViewController.h"
#include "library/catalogue/VXQLibraryCatalogue.h"
#include "library/categories/VXQLibrarySmartCategory.h"
#include "library/info/VXQLibraryGetInfoController.h"
#include "library/info/VXQLibrarySharingController.h"
#include "library/info/VXQLibrarySmartCategoryEditController.h"
#include "library/store/VXQLibrary.h"
#include "platform/ui/Application.h"
#include "platform/vantrix/drawables/VXDrawableShape.h"
#include "platform/vantrix/styles/VXStyle.h"
#include "symbols/masters/VXQSymbolMaster.h"
#include "widgets/controls/ZQSegmentedControl.h"

#include <QComboBox>
#include <QCommandLineParser>
#include <QHBoxLayout>
#include <QSplitter>
#include <QTemporaryDir>
#include <QVBoxLayout>
#include <cstdio>

namespace {

class GalleryDelegate : public QObject, public VXQLibraryItemViewControllerDelegate, public VXQLibrarySharingDelegate {
public:
    Messages implementedItemViewControllerMessages() const override
    {
        return Message::ItemSelectionChanged | Message::SaveSettingsRootName;
    }
    void itemSelectionChanged(const JXIndexSet&) override
    {
        if (browser && info)
            info->setContent(browser->selectedItems());
    }
    QString saveSettingsRootNameForItemViewController(VXQLibraryItemViewController*) override
    {
        return QStringLiteral("LIBRARY_GALLERY");
    }
    std::shared_ptr<VXQLibrary> libraryToUpload() override { return library; }

    VXQLibraryItemViewController* browser = nullptr;
    VXQLibraryGetInfoController* info = nullptr;
    std::shared_ptr<VXQLibrary> library;
};

VXQLibraryPtr makeScratchLibrary(const QString& folder)
{
    VXQLibrary::setUserLibrariesFolder(folder);
    VXQLibraryPtr library = VXQLibrary::libraryWithPath(folder + QStringLiteral("/Gallery.symlibrary"));
    VXQLibraryCatalogue::addLibraryToGroupReplaceExisting(library, QStringLiteral("MY LIBRARY"), false);
    const QList<std::pair<const char*, QColor>> styles{{"Main Road", QColor(220, 60, 40)}, {"Track", QColor(150, 110, 60)},
                                                       {"River", QColor(60, 120, 220)}, {"Lake", QColor(90, 170, 230)},
                                                       {"Forest", QColor(40, 140, 60)}, {"Sand", QColor(230, 210, 140)}};
    VXQLibraryCategory* roads = library->addCategoryWithName(QStringLiteral("Roads"));
    for (const auto& [name, colour] : styles) {
        VXStylePtr style = VXStyle::styleWithFillColourStrokeColour(colour, Qt::black);
        style->setName(QString::fromLatin1(name));
        VXQLibraryItemPtr item = VXQLibraryItem::itemWithLibraryObject(style);
        library->addItem(item);
        if (QString::fromLatin1(name).contains(QStringLiteral("Road")) || QString::fromLatin1(name) == u"Track")
            roads->addItem(item);
    }
    const auto shape = VXDrawableShape::drawableShapeWithRect(QRectF(0, 0, 30, 20), VXStyle::defaultStyle());
    VXQLibraryItemPtr church = VXQLibraryItem::itemWithLibraryObject(
        VXQSymbolMaster::symbolMasterWithObjectName(*shape, QStringLiteral("Church")));
    library->addItem(church);
    church->setLocked(true);
    church->setUserDescription(QStringLiteral("A place of worship"));
    return library;
}

QWidget* makeBrowserPage(GalleryDelegate& delegate)
{
    auto* window = new QWidget;
    window->resize(900, 560);
    window->setWindowTitle(QStringLiteral("Library Gallery"));
    auto* browser = new VXQLibraryItemViewController;
    auto* info = new VXQLibraryGetInfoController;
    browser->setParent(window);
    info->setParent(window);
    delegate.browser = browser;
    delegate.info = info;
    browser->setDelegate(&delegate);
    browser->awakeFromInterface();
    browser->setShowsLockBadging(true);

    auto* layout = new QVBoxLayout(window);
    auto* toolbar = new QHBoxLayout;
    toolbar->addWidget(browser->layoutModeControl());
    toolbar->addWidget(browser->iconSizeControl());
    toolbar->addStretch();
    toolbar->addWidget(browser->sortByPopUpButton());
    layout->addLayout(toolbar);
    auto* split = new QSplitter;
    split->addWidget(browser->view());
    split->addWidget(info->view());
    split->setStretchFactor(0, 1);
    layout->addWidget(split, 1);
    QList<VXQLibraryItemPtr> items;
    for (const VXQLibraryElementPtr& element : delegate.library->allItemsCategory()->sortedAllElementsUsingSortDescriptorsCookie(
             {{QStringLiteral("name"), true}}, 1))
        if (auto item = std::dynamic_pointer_cast<VXQLibraryItem>(element))
            items.append(item);
    browser->setContent(items);
    browser->selectItemsAtIndexes({0});
    return window;
}

} // namespace

int main(int argc, char** argv)
{
    platform::Application application(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("library-gallery"));
    registerLibraryClasses();

    QCommandLineParser parser;
    parser.addHelpOption();
    const QCommandLineOption page(QStringLiteral("page"), QStringLiteral("browser, list, smart-category or sharing."),
                                  QStringLiteral("name"));
    parser.addOption(page);
    parser.process(application);
    const QString name = parser.value(page);
    if (name != u"browser" && name != u"list" && name != u"smart-category" && name != u"sharing") {
        std::fprintf(stderr, "usage: library-gallery --page browser|list|smart-category|sharing\n");
        return 2;
    }

    QTemporaryDir folder;
    VXQLibraryCatalogue::Scope catalogue;
    GalleryDelegate delegate;
    delegate.library = makeScratchLibrary(folder.path());
    QWidget* window = makeBrowserPage(delegate);
    window->show();
    if (name == u"list")
        delegate.browser->setLayoutMode(VXQLibraryItemViewController::ListMode);

    VXQLibrarySmartCategoryEditController smartEditor;
    VXQLibrarySharingController sharing;
    if (name == u"smart-category") {
        auto smart = std::make_shared<VXQLibrarySmartCategory>();
        smart->initWithNameLibrary(QStringLiteral("Blue things"), delegate.library.get());
        delegate.library->addCategory(smart);
        smartEditor.beginSmartCategoryEditOnParentWindowWithDelegate(smart.get(), window, nullptr);
        smartEditor.setCountLimit(5);
        smartEditor.predicateEditor()->insertRuleAfter(0);
    } else if (name == u"sharing") {
        sharing.beginShareLibraryDialogWithParentDelegate(window, &delegate);
    }
    const int code = application.exec();
    delete window;
    return code;
}
