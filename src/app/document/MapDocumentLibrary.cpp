#include "app/document/MapDocumentLibrary.h"

#include "app/document/ZQQuorvaneDocument.h"
#include "app/services/LibraryServices.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/foundation/UndoSuspension.h"
#include "platform/foundation/ZQLog.h"
#include "platform/vantrix/model/VXDrawing.h"

#include <QSet>

QList<ZQObjectPtr> MapDocumentLibrary::allLibraryObjects() const
{
    QList<ZQObjectPtr> objects;
    const VXDrawingPtr& drawing = m_document.drawing();
    if (!drawing)
        return objects;
    QSet<const VXStyle*> seen;
    for (const VXStylePtr& style : drawing->allStyles())
        if (style && !seen.contains(style.get())) {
            seen.insert(style.get());
            objects.append(style);
        }
    if (const auto& masters = LibraryServices::installed().symbolMastersOfDrawing)
        objects.append(masters(*drawing));
    return objects;
}

void MapDocumentLibrary::makeTemporaryDocumentLibrary()
{
    const LibraryServices& services = LibraryServices::installed();
    const QList<ZQObjectPtr> objects = allLibraryObjects();
    if (!objects.isEmpty() && services.makeDocumentLibrary) {
        m_library = services.makeDocumentLibrary(m_document.displayName(), objects);
        if (m_library)
            ZQLogObjCMethod(QStringLiteral("created document library %1").arg(m_library->description()));
    }
    if (!m_styleSubstitutionObservation)
        m_styleSubstitutionObservation = platform::NotificationCenter::defaultCenter().addObserver(
            &m_document, kVXQStyleSubstitutionWasPerformed, nullptr,
            [this](const platform::Notification& notification) { styleSubstitutionNotification(notification); });
}

void MapDocumentLibrary::updateTemporaryDocumentLibraryWithItems(const QList<ZQObjectPtr>& objects)
{
    if (m_library && LibraryServices::installed().addUnknownObjects)
        LibraryServices::installed().addUnknownObjects(m_library, objects);
}

void MapDocumentLibrary::styleSubstitutionNotification(const platform::Notification& notification)
{
    const auto styleFor = [&](const QString& key) {
        return std::dynamic_pointer_cast<VXStyle>(notification.userInfo.value(key).value<ZQObjectPtr>());
    };
    const VXStylePtr oldStyle = styleFor(QStringLiteral("old_style"));
    const VXStylePtr newStyle = styleFor(QStringLiteral("new_style"));
    if (!oldStyle || !newStyle || oldStyle == newStyle || !m_document.drawing())
        return;
    m_document.drawing()->replaceStylesWithStyles({oldStyle}, {newStyle});
    if (m_library && LibraryServices::installed().forgetObject)
        LibraryServices::installed().forgetObject(m_library, oldStyle);
}

void MapDocumentLibrary::remergeStylesReadFromURL(const QList<ZQObjectPtr>& styles, const QUrl&)
{
    const auto& matching = LibraryServices::installed().matchingLibraryObjects;
    const VXDrawingPtr& drawing = m_document.drawing();
    if (!matching || !drawing)
        return;
    QHash<QString, VXStylePtr> byKey;
    for (const ZQObjectPtr& object : matching(styles))
        if (auto style = std::dynamic_pointer_cast<VXStyle>(object))
            byKey.insert(style->uniqueKey(), style);
    QList<VXStylePtr> oldStyles;
    QList<VXStylePtr> newStyles;
    for (const ZQObjectPtr& object : styles) {
        auto style = std::dynamic_pointer_cast<VXStyle>(object);
        const VXStylePtr replacement = style ? byKey.value(style->uniqueKey()) : nullptr;
        if (replacement && replacement != style) {
            oldStyles.append(style);
            newStyles.append(replacement);
        }
    }
    const platform::UndoSuspension quiet(m_document.undoManager());
    drawing->replaceStylesWithStyles(oldStyles, newStyles);
}

void MapDocumentLibrary::cleanUpIfNeeded()
{
    if (m_styleSubstitutionObservation)
        platform::NotificationCenter::defaultCenter().removeObserver(m_styleSubstitutionObservation);
    m_styleSubstitutionObservation = 0;
    if (m_library && LibraryServices::installed().removeDocumentLibrary)
        LibraryServices::installed().removeDocumentLibrary(m_library);
    m_library.reset();
}
