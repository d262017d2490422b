#pragma once

// The searches of one map document: the quick search of the window's search field (with its
// option: contains, starts with, is equal to), queries run on the active layer or on every
// object layer (groups' members included), repeating the last search, the radius search, and
// the answers the search sheets ask the document for (property names, key paths, types).
//
// Searching selects: the matches become their layer's selection. No match clears the
// selection (of the active layer, or of every object layer) and beeps.
//
// The document reaches it as a helper (ZQTrueQuorvaneDocument::addDocumentHelperFactory):
// the search actions of menus and toolbar land here.

#include "panels/dialogs/MPAdvancedSearchController.h"
#include "panels/dialogs/QVNSmartSearchesController.h"
#include "panels/dialogs/ZQSmartSearchNamingController.h"
#include "panels/search/MPSearchQuery.h"
#include "panels/search/ZQSearchableProperty.h"

#include <QPointF>
#include <QPointer>
#include <functional>

class VXDrawing;
class VXObjectDrawingLayer;
class ZQTrueQuorvaneDocument;
namespace platform {
class MenuItem;
}

enum SimpleSearchOption { kSimpleSearchContains = 0, kSimpleSearchStartsWith = 1, kSimpleSearchIsEqualTo = 2 };

class DocumentSearch : public ZQObject, public SmartSearchesDelegate, public SmartSearchNamingDelegate {
    Q_OBJECT

public:
    explicit DocumentSearch(ZQTrueQuorvaneDocument* document = nullptr);

    // Makes every map document get its search: registers the helper factory.
    static void installForMapDocuments();
    // The search of a document, made on first need; null before installation.
    static DocumentSearch* ofDocument(const ZQTrueQuorvaneDocument& document);

    // --- Quick search ---------------------------------------------------------------------------
    // The field's text, searched as the option says; an empty text does nothing.
    void performSimpleStringSearchForString(const QString& string);
    // The search field's action: its text (the sender's "text" property).
    Q_INVOKABLE void searchFieldAction(QObject* sender);
    // The option becomes the sender's tag.
    Q_INVOKABLE void simpleSearchOptionsAction(QObject* sender);
    qint64 simpleSearchOption() const { return m_simpleSearchOption; }
    void setSimpleSearchOption(qint64 option) { m_simpleSearchOption = option; }
    // Option items are checked when theirs is the option; repeating needs a search to repeat.
    Q_INVOKABLE bool validateMenuItem(platform::MenuItem* item);

    // --- Running queries ------------------------------------------------------------------------
    // Selects the matches: in every object layer with the all-layers option, else in the
    // active layer (scrolled into view). A query asking to be saved that is not yet saved is
    // offered to be named.
    void searchWithQuery(const MPSearchQueryPtr& query) override;
    Q_INVOKABLE void repeatLatestSearch(QObject* sender = nullptr);
    // None until the first search.
    MPSearchQueryPtr latestSearch() const { return m_latestSearch; }
    void setLatestSearch(const MPSearchQueryPtr& query) { m_latestSearch = query; }

    // The matches among the active object layer's visible objects; empty without one.
    QList<VXDrawableObjectPtr> objectsInActiveLayerMatchingSearchQuery(const MPSearchQuery& query) const;
    // Deselects every object layer, top to bottom, and answers the non-empty lists of matches
    // among each one's visible objects.
    QList<QList<VXDrawableObjectPtr>> objectsInAllLayersMatchingQuery(const MPSearchQuery& query) const;
    // Each list becomes its layer's selection; answers whether any did.
    static bool selectObjectsInAllLayers(const QList<QList<VXDrawableObjectPtr>>& found);

    // --- Radius search --------------------------------------------------------------------------
    // Every mapping layer's visible objects within `radius` of `point`, top layer first.
    QList<VXDrawableObjectPtr> objectsWithinRadiusOfPoint(float radius, QPointF point) const;
    QList<VXDrawableObjectPtr> objectsWithinRadiusOfPointMatchingQuery(float radius, QPointF point,
                                                                       const MPSearchQuery& query) const;

    // --- Properties for the search sheets -------------------------------------------------------
    // The layers' tables merged from the top; a lower layer's entry wins.
    SearchablePropertyTable gatherSearchableProperties() const;
    // The cached table's names (built from this document when there is none), sorted ignoring case.
    QStringList allPropertyNames() const;
    QStringList searchableProperties() const override { return allPropertyNames(); }
    // 0 for a name the table lacks.
    int dataTypeForProperty(const QString& name) const override;
    // The name itself for a name the table lacks.
    QString identifierForProperty(const QString& name) const override;
    // The cache is shared by every document and emptied whenever a search sheet shows.
    static void emptyPropertyCache();

    // --- The search sheets ----------------------------------------------------------------------
    // Edit > Find > Find...: the document's advanced search sheet, made on first use.
    Q_INVOKABLE void openAdvancedSearchDialog(QObject* sender = nullptr);
    MPAdvancedSearchController* advancedSearchController() const { return m_advancedSearchController; }
    // Edit > Find > Smart Searches...: the application's smart-searches sheet on this document.
    Q_INVOKABLE void openSmartSearchesDialog(QObject* sender = nullptr);
    // The naming sheet offered by the last search that asked to be saved, while it is open.
    ZQSmartSearchNamingController* namingController() const { return m_namingController; }

    // A copy of the last search (none before one) that does not ask to be saved.
    MPSearchQueryPtr copyOfLatestSearch() const;
    // Hands the sheet that copy, its all-layers option shown and the save box off.
    void searchControllerRequestQuery(MPAdvancedSearchController& sheet) override;
    // Empties the property cache, so the sheet sees the objects and attributes of now.
    void searchControllerWillShowWindow(MPAdvancedSearchController& sheet) override;
    void searchControllerDidCloseWindow(MPAdvancedSearchController& sheet) override;
    void smartSearchesControllerDidEnd(QVNSmartSearchesController& sheet) override;
    // Stores the naming's "query" under `name`, or under its proposed "key" when `name` is empty.
    void applyNameWithInfo(const QString& name, const QVariantMap& info) override;

    // What sounds when nothing is found (the system beep by default; tests count).
    static void setBeepHook(std::function<void()> beep);

private:
    VXDrawing* drawing() const;
    VXObjectDrawingLayer* activeObjectLayer() const;
    void focusDrawingView() const;
    void scrollSelectionIntoView(const VXObjectDrawingLayer& layer) const;
    void offerToSaveQuery(const MPSearchQueryPtr& query);
    static void beep();

    QWidget* windowForSheet() const;

    QPointer<ZQTrueQuorvaneDocument> m_document;
    QPointer<MPAdvancedSearchController> m_advancedSearchController;
    QPointer<ZQSmartSearchNamingController> m_namingController;
    MPSearchQueryPtr m_latestSearch;
    qint64 m_simpleSearchOption = kSimpleSearchContains;
};
