// The map document's part in the library store: its document library and style substitution.
#include "app/services/LibraryServices.h"
#include "app/document/ZQQuorvaneDocument.h"

#include "platform/foundation/NotificationCenter.h"
#include "platform/foundation/UndoSuspension.h"
#include "platform/foundation/ZQLog.h"
#include "platform/vantrix/model/VXDrawing.h"

#include <QSet>

QList<ZQObjectPtr> ZQQuorvaneDocument::allLibraryObjects() const
{
    QList<ZQObjectPtr> objects;
    if (!drawing())
        return objects;
    QSet<const VXStyle*> seen;
    for (const VXStylePtr& style : drawing()->allStyles())
        if (style && !seen.contains(style.get())) {
            seen.insert(style.get());
            objects.append(style);
        }
    if (const auto& masters = LibraryServices::installed().symbolMastersOfDrawing)
        objects.append(masters(*drawing()));
    return objects;
}

void ZQQuorvaneDocument::makeTemporaryDocumentLibrary()
{
    const LibraryServices& services = LibraryServices::installed();
    const QList<ZQObjectPtr> objects = allLibraryObjects();
    if (!objects.isEmpty() && services.makeDocumentLibrary) {
        m_library = services.makeDocumentLibrary(displayName(), objects);
        if (m_library)
            ZQLogObjCMethod(QStringLiteral("created document library %1").arg(m_library->description()));
    }
    if (!m_styleSubstitutionObservation)
        m_styleSubstitutionObservation = platform::NotificationCenter::defaultCenter().addObserver(
            this, kVXQStyleSubstitutionWasPerformed, nullptr,
            [this](const platform::Notification& notification) { styleSubstitutionNotification(notification); });
}

void ZQQuorvaneDocument::updateTemporaryDocumentLibraryWithItems(const QList<ZQObjectPtr>& objects)
{
    if (m_library && LibraryServices::installed().addUnknownObjects)
        LibraryServices::installed().addUnknownObjects(m_library, objects);
}

void ZQQuorvaneDocument::styleSubstitutionNotification(const platform::Notification& notification)
{
    const auto oldStyle = std::dynamic_pointer_cast<VXStyle>(notification.userInfo.value(QStringLiteral("old_style")).value<ZQObjectPtr>());
    const auto newStyle = std::dynamic_pointer_cast<VXStyle>(notification.userInfo.value(QStringLiteral("new_style")).value<ZQObjectPtr>());
    if (!oldStyle || !newStyle || oldStyle == newStyle || !drawing())
        return;
    drawing()->replaceStylesWithStyles({oldStyle}, {newStyle});
    if (m_library && LibraryServices::installed().forgetObject)
        LibraryServices::installed().forgetObject(m_library, oldStyle);
}

void ZQQuorvaneDocument::remergeStylesReadFromURL(const QList<ZQObjectPtr>& styles, const QUrl&)
{
    const auto& matching = LibraryServices::installed().matchingLibraryObjects;
    if (!matching || !drawing())
        return;
    QList<VXStylePtr> oldStyles;
    QList<VXStylePtr> newStyles;
    QHash<QString, VXStylePtr> byKey;
    for (const ZQObjectPtr& object : matching(styles))
        if (auto style = std::dynamic_pointer_cast<VXStyle>(object))
            byKey.insert(style->uniqueKey(), style);
    for (const ZQObjectPtr& object : styles) {
        auto style = std::dynamic_pointer_cast<VXStyle>(object);
        const VXStylePtr replacement = style ? byKey.value(style->uniqueKey()) : nullptr;
        if (replacement && replacement != style) {
            oldStyles.append(style);
            newStyles.append(replacement);
        }
    }
    // Part of reading: nothing the user could undo.
    const platform::UndoSuspension quiet(undoManager());
    drawing()->replaceStylesWithStyles(oldStyles, newStyles);
}

void ZQQuorvaneDocument::cleanUpIfNeeded()
{
    if (m_styleSubstitutionObservation)
        platform::NotificationCenter::defaultCenter().removeObserver(m_styleSubstitutionObservation);
    m_styleSubstitutionObservation = 0;
    if (m_library && LibraryServices::installed().removeDocumentLibrary)
        LibraryServices::installed().removeDocumentLibrary(m_library);
    m_library.reset();
}

void ZQQuorvaneDocument::close()
{
    cleanUpIfNeeded();
    VXDrawingDocument::close();
}
