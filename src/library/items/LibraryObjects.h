#pragma once

// What library items hold: styles (through an adapter, as the drawing framework sits below
// the library) and symbol masters (directly), and any later class that adopts the protocol.
// Class codes number the classes: "VXStyle" 1, "VXQSymbolMaster" 2, others 3, 4, ... in the
// order this run first meets them.

#include "platform/foundation/ZQObject.h"
#include "symbols/manager/VXQLibraryObjectProtocol.h"

#include <QByteArray>
#include <QVariantMap>
#include <memory>

class QMimeData;
namespace platform {
class Pasteboard;
}

namespace LibraryObjects {

inline constexpr qint64 kStyleClassCode = 1;
inline constexpr qint64 kSymbolMasterClassCode = 2;

// The object's library face; null for objects that are no library objects.
std::shared_ptr<VXQLibraryObjectProtocol> libraryObjectFor(const ZQObjectPtr& object);
bool isLibraryObject(const ZQObject* object);

// Class name to code, as far as known.
QVariantMap classCodes();
qint64 codeForClass(const QString& className);
// "Style", "Symbol" or "--".
QString localisedKindStringForClassCode(qint64 code);

// The object a fileData archive holds; null for damaged data, for a root that is no library
// object, and for a root of another class than `classCode` names (0: any).
ZQObjectPtr libraryObjectWithFileData(const QByteArray& data, qint64 classCode = 0);

// Adds every format of `data` that has a pasteboard type (for writers that fill MIME data).
void addMimeDataToPasteboard(const QMimeData& data, platform::Pasteboard& pasteboard);

// Seconds between 1970 and the 2001 reference date library timestamps count from.
inline constexpr double kReferenceDateOffset = 978307200.0;

} // namespace LibraryObjects
