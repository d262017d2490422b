#include "panels/search/DocumentSearch.h"

#include "app/document/VXQMappingLayer.h"
#include "app/document/ZQTrueQuorvaneDocument.h"
#include "panels/dialogs/MPAdvancedSearchController.h"
#include "panels/search/SearchableProperties.h"
#include "panels/search/SmartSearchTable.h"
#include "platform/foundation/ZQLog.h"
#include "platform/ui/Application.h"
#include "platform/ui/MenuItem.h"
#include "platform/vantrix/model/VXDrawing.h"
#include "platform/vantrix/model/VXObjectDrawingLayer.h"
#include "platform/vantrix/view/VXDrawingView.h"

#include <QCollator>
#include <algorithm>

namespace {

const QString kSearchableStringIdentifier = QStringLiteral("searchableString");

std::function<void()>& beepHook()
{
    static std::function<void()> hook = [] { platform::Application::beep(); };
    return hook;
}

// The merged table of the document that asked last; one for every document.
std::optional<SearchablePropertyTable>& propertyCache()
{
    static std::optional<SearchablePropertyTable> cache;
    return cache;
}

int matchKindForOption(qint64 option)
{
    switch (option) {
    case kSimpleSearchStartsWith: return kMPStartsWith;
    case kSimpleSearchIsEqualTo: return kMPIsEqualTo;
    default: return kMPContains;
    }
}

QList<VXDrawableObjectPtr> visibleMatches(const VXObjectOwnerLayer& layer, const MPSearchQuery& query)
{
    return query.findAllMatchingObjects(layer.objects(), [](const VXDrawableObjectPtr& object) { return object->visible(); });
}

} // namespace

DocumentSearch::DocumentSearch(ZQTrueQuorvaneDocument* document) : m_document(document) {}

void DocumentSearch::installForMapDocuments()
{
    ZQTrueQuorvaneDocument::addDocumentHelperFactory(
        [](ZQTrueQuorvaneDocument& document) { return std::make_shared<DocumentSearch>(&document); });
}

DocumentSearch* DocumentSearch::ofDocument(const ZQTrueQuorvaneDocument& document)
{
    for (const ZQObjectPtr& helper : document.helpers())
        if (auto* search = qobject_cast<DocumentSearch*>(helper.get()))
            return search;
    return nullptr;
}

// --- Quick search -----------------------------------------------------------------------------------------

void DocumentSearch::performSimpleStringSearchForString(const QString& string)
{
    if (string.isEmpty())
        return;
    const MPSearchQueryPtr query = MPSearchQuery::searchQueryForObjectsContainingString(string);
    const MPSearchCriterionPtr criterion = query->criterionAtIndex(0);
    criterion->setIdentifier(kSearchableStringIdentifier); // the name stays "stringValue:"
    criterion->setMatchKind(matchKindForOption(m_simpleSearchOption));
    focusDrawingView();
    searchWithQuery(query);
}

void DocumentSearch::searchFieldAction(QObject* sender)
{
    if (sender)
        performSimpleStringSearchForString(sender->property("text").toString());
}

void DocumentSearch::simpleSearchOptionsAction(QObject* sender)
{
    if (const auto* item = qobject_cast<const platform::MenuItem*>(sender))
        m_simpleSearchOption = item->tag();
}

bool DocumentSearch::validateMenuItem(platform::MenuItem* item)
{
    if (item->action() == "simpleSearchOptionsAction") {
        item->setState(item->tag() == m_simpleSearchOption ? platform::MenuItem::OnState : platform::MenuItem::OffState);
        return true;
    }
    if (item->action() == "repeatLatestSearch")
        return m_latestSearch != nullptr;
    return true;
}

// --- Running queries ----------------------------------------------------------------------------------------

void DocumentSearch::searchWithQuery(const MPSearchQueryPtr& query)
{
    if (!query)
        return;
    ZQLog(QStringLiteral("request to perform search with: %1").arg(query->description()));
    m_latestSearch = query;
    if (query->auxiliaryDataBooleanValueForKey(kVXQSearchAllLayersOption)) {
        if (!selectObjectsInAllLayers(objectsInAllLayersMatchingQuery(*query)))
            beep();
    } else if (VXObjectDrawingLayer* layer = activeObjectLayer()) {
        const QList<VXDrawableObjectPtr> found = visibleMatches(*layer, *query);
        layer->exchangeSelectionWithObjectsFromArray(found);
        if (found.isEmpty())
            beep();
        else
            scrollSelectionIntoView(*layer);
    } else {
        beep();
    }
    if (query->auxiliaryDataBooleanValueForKey(kVXQSaveAsSmartSearchOption)
        && !SmartSearchTable::isSavedInSmartSearches(query.get()))
        offerToSaveQuery(query);
}

void DocumentSearch::repeatLatestSearch(QObject*)
{
    if (m_latestSearch)
        searchWithQuery(m_latestSearch);
}

QList<VXDrawableObjectPtr> DocumentSearch::objectsInActiveLayerMatchingSearchQuery(const MPSearchQuery& query) const
{
    const VXObjectDrawingLayer* layer = activeObjectLayer();
    return layer ? visibleMatches(*layer, query) : QList<VXDrawableObjectPtr>();
}

QList<QList<VXDrawableObjectPtr>> DocumentSearch::objectsInAllLayersMatchingQuery(const MPSearchQuery& query) const
{
    QList<QList<VXDrawableObjectPtr>> found;
    const VXDrawing* owner = drawing();
    if (!owner)
        return found;
    for (const VXLayerPtr& layer : owner->flattenedLayers()) {
        auto* objectLayer = qobject_cast<VXObjectDrawingLayer*>(layer.get());
        if (!objectLayer)
            continue;
        objectLayer->deselectAll();
        if (QList<VXDrawableObjectPtr> matches = visibleMatches(*objectLayer, query); !matches.isEmpty())
            found.append(std::move(matches));
    }
    return found;
}

bool DocumentSearch::selectObjectsInAllLayers(const QList<QList<VXDrawableObjectPtr>>& found)
{
    bool selected = false;
    for (const QList<VXDrawableObjectPtr>& objects : found) {
        if (objects.isEmpty())
            continue;
        if (auto* layer = qobject_cast<VXObjectDrawingLayer*>(objects.last()->layer())) {
            layer->exchangeSelectionWithObjectsFromArray(objects);
            selected = true;
        }
    }
    return selected;
}

// --- Radius search ----------------------------------------------------------------------------------------

QList<VXDrawableObjectPtr> DocumentSearch::objectsWithinRadiusOfPoint(float radius, QPointF point) const
{
    QList<VXDrawableObjectPtr> found;
    if (const VXDrawing* owner = drawing())
        for (const VXLayerPtr& layer : owner->flattenedLayers())
            if (const auto* mapping = qobject_cast<const VXQMappingLayer*>(layer.get()))
                found.append(mapping->objectsWithinRadiusOfPoint(radius, point));
    return found;
}

QList<VXDrawableObjectPtr> DocumentSearch::objectsWithinRadiusOfPointMatchingQuery(float radius, QPointF point,
                                                                                   const MPSearchQuery& query) const
{
    return query.findAllMatchingObjects(objectsWithinRadiusOfPoint(radius, point));
}

// --- Properties ----------------------------------------------------------------------------------------------

SearchablePropertyTable DocumentSearch::gatherSearchableProperties() const
{
    SearchablePropertyTable merged;
    if (const VXDrawing* owner = drawing())
        for (const VXLayerPtr& layer : owner->flattenedLayers())
            if (const auto* objectLayer = qobject_cast<const VXObjectOwnerLayer*>(layer.get()))
                merged.insert(SearchableProperties::gatherSearchableProperties(*objectLayer));
    return merged;
}

QStringList DocumentSearch::allPropertyNames() const
{
    if (!propertyCache())
        propertyCache() = gatherSearchableProperties();
    QStringList names = propertyCache()->keys();
    QCollator collator;
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    std::sort(names.begin(), names.end(), collator);
    return names;
}

int DocumentSearch::dataTypeForProperty(const QString& name) const
{
    allPropertyNames();
    const ZQSearchablePropertyPtr property = propertyCache()->value(name);
    return property ? property->dataType() : 0;
}

QString DocumentSearch::identifierForProperty(const QString& name) const
{
    allPropertyNames();
    const ZQSearchablePropertyPtr property = propertyCache()->value(name);
    return property ? property->identifier() : name;
}

void DocumentSearch::emptyPropertyCache()
{
    propertyCache().reset();
}

// --- Search sheets ---------------------------------------------------------------------------------------------

void DocumentSearch::openAdvancedSearchDialog(QObject*)
{
    if (!m_advancedSearchController)
        m_advancedSearchController = new MPAdvancedSearchController(windowForSheet());
    m_advancedSearchController->showSheetInParentWindow(windowForSheet(), this);
}

void DocumentSearch::openSmartSearchesDialog(QObject*)
{
    QVNSmartSearchesController::sharedSmartSearchesController()->showDialogInParentWindow(windowForSheet(), this);
}

MPSearchQueryPtr DocumentSearch::copyOfLatestSearch() const
{
    if (!m_latestSearch)
        return nullptr;
    const MPSearchQueryPtr copy = m_latestSearch->copyQuery();
    copy->setAuxiliaryDataBooleanValueForKey(false, kVXQSaveAsSmartSearchOption);
    return copy;
}

void DocumentSearch::searchControllerRequestQuery(MPAdvancedSearchController& sheet)
{
    const MPSearchQueryPtr copy = copyOfLatestSearch();
    if (copy && copy->criteriaCount() > 0)
        sheet.setSearchQuery(copy);
    sheet.setAllLayersCheckboxValue(copy && copy->auxiliaryDataBooleanValueForKey(kVXQSearchAllLayersOption));
    sheet.setSmartCheckboxValue(false);
    sheet.setSmartSearchesCheckboxHidden(SmartSearchTable::isSavedInSmartSearches(sheet.searchQuery().get()));
}

void DocumentSearch::searchControllerWillShowWindow(MPAdvancedSearchController&)
{
    emptyPropertyCache();
}

void DocumentSearch::searchControllerDidCloseWindow(MPAdvancedSearchController&)
{
    focusDrawingView();
}

void DocumentSearch::smartSearchesControllerDidEnd(QVNSmartSearchesController&)
{
    focusDrawingView();
}

void DocumentSearch::applyNameWithInfo(const QString& name, const QVariantMap& info)
{
    const auto query = std::dynamic_pointer_cast<MPSearchQuery>(info.value(kSmartSearchNamingQueryKey).value<ZQObjectPtr>());
    SmartSearchTable::setSmartSearchForKey(query, name.isEmpty() ? info.value(kSmartSearchNamingProposedNameKey).toString() : name);
}

void DocumentSearch::setBeepHook(std::function<void()> beep)
{
    beepHook() = beep ? std::move(beep) : [] { platform::Application::beep(); };
}

// --- Helpers -------------------------------------------------------------------------------------------------------

VXDrawing* DocumentSearch::drawing() const
{
    return m_document ? m_document->drawing().get() : nullptr;
}

VXObjectDrawingLayer* DocumentSearch::activeObjectLayer() const
{
    const VXDrawing* owner = drawing();
    return owner ? owner->activeLayerOfClass<VXObjectDrawingLayer>() : nullptr;
}

QWidget* DocumentSearch::windowForSheet() const
{
    return m_document ? m_document->windowForSheet() : nullptr;
}

void DocumentSearch::focusDrawingView() const
{
    if (VXDrawingView* view = m_document ? m_document->mainView() : nullptr)
        view->setFocus(Qt::OtherFocusReason);
}

void DocumentSearch::scrollSelectionIntoView(const VXObjectDrawingLayer& layer) const
{
    VXDrawingView* view = m_document ? m_document->mainView() : nullptr;
    if (!view)
        return;
    QRectF bounds;
    for (const VXDrawableObjectPtr& object : layer.selection())
        bounds |= object->bounds();
    if (!bounds.isEmpty() && !view->visibleDrawingRect().contains(bounds))
        view->scrollDrawingPointToViewportPoint(bounds.center(), QRectF(view->viewport()->rect()).center());
}

void DocumentSearch::offerToSaveQuery(const MPSearchQueryPtr& query)
{
    const QString proposed = SmartSearchTable::uniqueSmartSearchKey(tr("Untitled Search"));
    m_namingController = ZQSmartSearchNamingController::runSheetInParentWindow(
        windowForSheet(), this,
        {{kSmartSearchNamingQueryKey, QVariant::fromValue<ZQObjectPtr>(query)},
         {kSmartSearchNamingProposedNameKey, proposed}});
}

void DocumentSearch::beep()
{
    beepHook()();
}
