#include "library/browser/LibraryItemSortOrder.h"

#include "library/browser/LibraryItemBrowserRules.h"
#include "widgets/iconview/JXDistributedView.h"

namespace {

LibraryItemSortOrder::Descriptors withLeadingDescriptor(LibraryItemSortOrder::Descriptors descriptors,
                                                        const LibrarySortDescriptor& first)
{
    descriptors.removeIf([&](const LibrarySortDescriptor& d) { return d.key == first.key; });
    descriptors.prepend(first);
    return descriptors;
}

} // namespace

LibraryItemSortOrder::LibraryItemSortOrder(QStringList columns)
    : m_columns(std::move(columns))
{
}

int LibraryItemSortOrder::sortMode() const
{
    if (m_highlightedColumn < 0)
        return 0;
    const int mode = librarybrowser::sortModeForColumnKey(m_columns.value(m_highlightedColumn));
    return mode < 0 ? int(JXDistributedView::NSNotFound) : mode;
}

std::optional<LibraryItemSortOrder::Descriptors> LibraryItemSortOrder::leadWithMode(int mode)
{
    const int column = int(m_columns.indexOf(librarybrowser::sortColumnKeyForMode(mode)));
    if (column < 0 || column == m_highlightedColumn)
        return std::nullopt;
    LibrarySortDescriptor first{m_columns.at(column), true};
    if (librarybrowser::sortModeIsDescending(mode))
        first = first.reversed();
    return replaceWith(withLeadingDescriptor(m_descriptors, first));
}

std::optional<LibraryItemSortOrder::Descriptors> LibraryItemSortOrder::leadWithColumn(int column)
{
    const QString key = m_columns.value(column);
    if (key.isEmpty())
        return std::nullopt;
    LibrarySortDescriptor first{key, true};
    if (!m_descriptors.isEmpty() && m_descriptors.first().key == key)
        first = m_descriptors.first().reversed();
    return replaceWith(withLeadingDescriptor(m_descriptors, first));
}

std::optional<LibraryItemSortOrder::Descriptors> LibraryItemSortOrder::setDescriptors(const Descriptors& descriptors)
{
    if (descriptors == m_callersDescriptors)
        return std::nullopt;
    m_callersDescriptors = descriptors;
    if (descriptors == m_descriptors)
        return std::nullopt;
    return replaceWith(descriptors);
}

int LibraryItemSortOrder::highlightLeadingColumn()
{
    if (!m_descriptors.isEmpty())
        m_highlightedColumn = int(m_columns.indexOf(m_descriptors.first().key));
    return m_descriptors.isEmpty() ? -1 : m_highlightedColumn;
}

std::optional<LibraryItemSortOrder::Descriptors> LibraryItemSortOrder::replaceWith(Descriptors descriptors)
{
    Descriptors previous = std::exchange(m_descriptors, std::move(descriptors));
    return previous;
}
