#pragma once

// A search: an ordered list of criteria, a match mode ("all" or "any"), a search mode and a
// few options the searches that run it keep in it (auxiliary data). Queries know nothing of
// drawings: each criterion reads what key-value coding of the tested object answers.
//
// Search modes for find-all: 0 stops at the first match front to back, 2 at the first back to
// front, any other returns every match; 5 is the text search, the only mode in which the
// text operations work. The incremental finds keep a cursor: one past the index of the object
// found last (for texts, one past the end of the last match plus one).

#include "app/services/ObjectQuery.h"
#include "panels/search/MPSearchCriterion.h"
#include "platform/vantrix/drawables/VXDrawableObject.h"

#include <QVariantMap>
#include <algorithm>
#include <iterator>

class MPSearchQuery;
using MPSearchQueryPtr = std::shared_ptr<MPSearchQuery>;

enum MPSearchMatchMode { kMPMatchAll = 0, kMPMatchAny = 1 };
enum MPSearchMode {
    kMPFindFirst = 0,
    kMPFindAll = 1,
    kMPFindLast = 2,
    kMPTextSearch = 5,
};

// Options the application's searches keep in a query.
inline const QString kVXQSearchAllLayersOption = QStringLiteral("kVXQSearchAllLayersOption");
inline const QString kVXQSaveAsSmartSearchOption = QStringLiteral("kVXQSaveAsSmartSearchOption");

class MPSearchQuery : public ZQObject, public ObjectQuery {
    Q_OBJECT
    Q_PROPERTY(int matchMode READ matchMode WRITE setMatchMode)
    Q_PROPERTY(int searchMode READ searchMode WRITE setSearchMode)
    Q_PROPERTY(bool wraps READ wraps WRITE setWraps)

public:
    MPSearchQuery();

    // One String criterion "contains" `string` on the identifier (and name) "stringValue:".
    static MPSearchQueryPtr searchQueryForObjectsContainingString(const QString& string);
    // The same without an identifier, in text search mode.
    static MPSearchQueryPtr searchQueryForTextContainingString(const QString& string);
    // The data type a value suggests: -1 for none or an unknown kind of number.
    static int dataTypeForObject(const QVariant& value);

    int matchMode() const { return m_matchMode; }
    void setMatchMode(int mode) { m_matchMode = mode; }
    int searchMode() const { return m_searchMode; }
    void setSearchMode(int mode) { m_searchMode = mode; }
    bool wraps() const { return m_wraps; }
    void setWraps(bool wraps) { m_wraps = wraps; }
    // The cursor back to the start.
    void reset() { m_objectIndex = 0; }
    qint64 foundObjectIndex() const { return m_objectIndex - 1; }

    // --- Criteria -------------------------------------------------------------------------------
    // Answers the criterion's index.
    qsizetype addCriterion(const MPSearchCriterionPtr& criterion);
    qsizetype criteriaCount() const { return m_criteria.size(); }
    // Every occurrence of this very criterion.
    void removeCriterion(const MPSearchCriterion* criterion);
    void removeCriterionAtIndex(qsizetype index);
    MPSearchCriterionPtr criterionAtIndex(qsizetype index) const { return m_criteria.value(index); }
    const QList<MPSearchCriterionPtr>& criteria() const { return m_criteria; }

    // --- Matching -------------------------------------------------------------------------------
    // No object never matches; no criteria match all in "all" mode and nothing in "any" mode.
    bool queryMatchesObject(const ZQObject* object) const;

    // The matches in enumeration order (see the search modes); empty for no objects or no
    // criteria. Modes 0 and 2 leave the cursor one past the match.
    template <class Ptr>
    QList<Ptr> findAllMatchingObjects(const QList<Ptr>& objects) const;
    // The same among the objects `isCandidate` accepts, as if only those were given: one pass
    // over a large list instead of a filtered copy and a second pass.
    template <class Ptr, class Filter>
    QList<Ptr> findAllMatchingObjects(const QList<Ptr>& objects, Filter isCandidate) const;
    QList<VXDrawableObjectPtr> findAllMatchingObjectsIn(const QList<VXDrawableObjectPtr>& objects) const override
    {
        return findAllMatchingObjects(objects);
    }
    // One match from the cursor on, wrapping when allowed; null for none.
    template <class Ptr>
    Ptr findNextMatchingObjectIn(const QList<Ptr>& objects);
    template <class Ptr>
    Ptr findPrevMatchingObjectIn(const QList<Ptr>& objects);

    // --- Text search (mode 5) -----------------------------------------------------------------
    // Where the first criterion matches `text` from `start`; location kSearchNotFound for none,
    // outside mode 5, and for a start at or past the end.
    SearchRange queryMatchesTextSearchingFrom(const QString& text, qsizetype start) const;
    // The next match from the cursor, wrapping once to the start when allowed.
    SearchRange findNextMatchInText(const QString& text);

    // --- Options --------------------------------------------------------------------------------
    void addAuxiliaryDataObjectForKey(const QVariant& object, const QString& key);
    QVariant auxiliaryDataObjectForKey(const QString& key) const { return m_auxiliaryData.value(key); }
    const QVariantMap& auxiliaryData() const { return m_auxiliaryData; }
    // Missing keys read false, 0 and 0.0.
    void setAuxiliaryDataBooleanValueForKey(bool value, const QString& key);
    bool auxiliaryDataBooleanValueForKey(const QString& key) const;
    void setAuxiliaryDataIntegerValueForKey(qint64 value, const QString& key);
    qint64 auxiliaryDataIntegerValueForKey(const QString& key) const;
    void setAuxiliaryDataFloatValueForKey(float value, const QString& key);
    float auxiliaryDataFloatValueForKey(const QString& key) const;

    // --- Descriptions ---------------------------------------------------------------------------
    // " Area > '10' and < '20'": a run of criteria on one property names it once.
    QString userReadableDescription() const;
    QString description() const override;

    // The copy's cursor is at the start; its criteria are copies.
    std::shared_ptr<ZQObject> copy() const override;
    MPSearchQueryPtr copyQuery() const { return std::static_pointer_cast<MPSearchQuery>(copy()); }
    void encodeWithCoder(platform::KeyedArchiver& coder) const override;
    void initWithCoder(platform::KeyedUnarchiver& coder) override;

private:
    template <class Ptr>
    Ptr firstMatchFrom(const QList<Ptr>& objects, qsizetype from, qsizetype to, int step);
    // Whether a find can run at all.
    bool canSearch(qsizetype count) const { return count > 0 && !m_criteria.isEmpty(); }

    int m_matchMode = kMPMatchAll;
    int m_searchMode = kMPFindAll;
    // A cursor, not part of what the query asks: find-all moves it through a const query.
    mutable qint64 m_objectIndex = 0;
    bool m_wraps = true;
    QList<MPSearchCriterionPtr> m_criteria;
    QVariantMap m_auxiliaryData;
};

template <class Ptr>
QList<Ptr> MPSearchQuery::findAllMatchingObjects(const QList<Ptr>& objects) const
{
    QList<Ptr> found;
    if (!canSearch(objects.size()))
        return found;
    if (m_searchMode == kMPFindFirst || m_searchMode == kMPFindLast) {
        const bool forward = m_searchMode == kMPFindFirst;
        for (qsizetype n = 0; n < objects.size(); ++n) {
            const qsizetype i = forward ? n : objects.size() - 1 - n;
            if (queryMatchesObject(objects[i].get())) {
                m_objectIndex = i + 1;
                found.append(objects[i]);
                break;
            }
        }
        return found;
    }
    for (const Ptr& object : objects)
        if (queryMatchesObject(object.get()))
            found.append(object);
    return found;
}

template <class Ptr, class Filter>
QList<Ptr> MPSearchQuery::findAllMatchingObjects(const QList<Ptr>& objects, Filter isCandidate) const
{
    // The cursor of the single finds counts candidates only.
    if (m_searchMode == kMPFindFirst || m_searchMode == kMPFindLast) {
        QList<Ptr> candidates;
        std::copy_if(objects.cbegin(), objects.cend(), std::back_inserter(candidates), isCandidate);
        return findAllMatchingObjects(candidates);
    }
    QList<Ptr> found;
    if (!canSearch(objects.size()))
        return found;
    for (const Ptr& object : objects)
        if (isCandidate(object) && queryMatchesObject(object.get()))
            found.append(object);
    return found;
}

template <class Ptr>
Ptr MPSearchQuery::firstMatchFrom(const QList<Ptr>& objects, qsizetype from, qsizetype to, int step)
{
    for (qsizetype i = from; step > 0 ? i < to : i > to; i += step) {
        if (queryMatchesObject(objects[i].get())) {
            m_objectIndex = i + 1;
            return objects[i];
        }
    }
    return nullptr;
}

template <class Ptr>
Ptr MPSearchQuery::findNextMatchingObjectIn(const QList<Ptr>& objects)
{
    if (!canSearch(objects.size()))
        return nullptr;
    const qsizetype cursor = qsizetype(std::clamp<qint64>(m_objectIndex, 0, objects.size()));
    if (Ptr found = firstMatchFrom(objects, cursor, objects.size(), 1))
        return found;
    if (!m_wraps || cursor == 0)
        return nullptr;
    // Up to the cursor, so a lone match is found again.
    return firstMatchFrom(objects, 0, cursor, 1);
}

template <class Ptr>
Ptr MPSearchQuery::findPrevMatchingObjectIn(const QList<Ptr>& objects)
{
    if (!canSearch(objects.size()))
        return nullptr;
    const qsizetype n = objects.size();
    const qsizetype start = m_objectIndex <= 0 ? n + 1 : qsizetype(std::min<qint64>(m_objectIndex, n));
    if (Ptr found = firstMatchFrom(objects, start - 2, -1, -1))
        return found;
    if (start == n + 1 || !m_wraps)
        return nullptr;
    // Down to the object found last, so a lone match is found again.
    return firstMatchFrom(objects, n - 1, start - 2, -1);
}
