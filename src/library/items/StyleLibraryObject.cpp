#include "library/items/StyleLibraryObject.h"

#include "library/items/LibraryObjects.h"
#include "tracks/styles/StyleLibraryCoding.h"

#include <QMimeData>

QString StyleLibraryObject::userDescription() const
{
    return m_description.isEmpty() ? m_style->userDescription() : m_description;
}

double StyleLibraryObject::lastModificationTimestamp() const
{
    return m_style->lastModificationTimestamp() - LibraryObjects::kReferenceDateOffset;
}

QByteArray StyleLibraryObject::fileData() const
{
    return StyleLibraryCoding::fileData(*m_style);
}

QImage StyleLibraryObject::imageToFitSizeAllowScaleUp(QSizeF size, bool)
{
    return m_style->imageToFitSize(size);
}

void StyleLibraryObject::copyToPasteboard(platform::Pasteboard& pasteboard) const
{
    QMimeData scratch;
    m_style->copyToPasteboard(&scratch);
    LibraryObjects::addMimeDataToPasteboard(scratch, pasteboard);
}
