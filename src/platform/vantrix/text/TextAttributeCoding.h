#pragma once

// Attributed text and paragraph styles in keyed archives, as dictionaries and lists of
// values the archiver stores. Attributes of other types are left out with a log line;
// reading takes only well-formed entries, so damaged archives give plainer text, never
// a crash. Text tables of paragraph styles are not kept.

#include "platform/graphics/AttributedString.h"

#include <QVariant>
#include <optional>

namespace platform {

QVariantMap archivedParagraphStyle(const ParagraphStyle& style);
std::optional<ParagraphStyle> paragraphStyleFromArchive(const QVariant& archived);

QVariantMap archivedTextAttributes(const TextAttributes& attributes);
TextAttributes textAttributesFromArchive(const QVariant& archived);

// The runs of the text, in order: {"length": characters, "attributes": dictionary}; empty
// when no run has attributes.
QVariantList archivedRuns(const AttributedString& text);
// The string with the archived runs laid over it from its start; runs that do not fit are dropped.
AttributedString attributedStringFromArchive(const QString& string, const QVariant& runs);

} // namespace platform
