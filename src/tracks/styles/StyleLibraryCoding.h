#pragma once

// What a style offers to be stored in a library and found by searches: its keyed archive
// (the library item's "__data"), the style back from such an archive, a swatch drawing and
// the texts its text components would draw for an object.

#include "platform/vantrix/styles/VXStyle.h"

#include <QByteArray>
#include <QRectF>

class VXRenderable;

namespace StyleLibraryCoding {

// The keyed archive with the style as its root object.
QByteArray fileData(const VXStyle& style);
// The style decoded from such an archive; null, with a log line, for empty or damaged data
// and for archives whose root is not a style.
VXStylePtr libraryObjectWithFileData(const QByteArray& data);
// Renders the style on a rectangle shape filling `rect`, into GraphicsContext::current().
void drawRect(const VXStyle& style, const QRectF& rect);
// The text each text component would draw for `object`, each followed by one blank; empty
// when the style draws no text.
QString searchableStringForObject(const VXStyle& style, const VXRenderable& object);

} // namespace StyleLibraryCoding
