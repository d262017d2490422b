#include "library/items/LibraryObjects.h"

#include "library/items/StyleLibraryObject.h"
#include "platform/foundation/KeyedUnarchiver.h"
#include "platform/foundation/ZQLog.h"
#include "platform/ui/Pasteboard.h"
#include "symbols/masters/VXQSymbolMaster.h"
#include "tracks/styles/StyleLibraryCoding.h"

#include <QCoreApplication>
#include <QMimeData>
#include <QMutex>

namespace LibraryObjects {

namespace {

struct ClassCodeTable {
    QMutex mutex;
    QVariantMap codes{{QStringLiteral("VXStyle"), kStyleClassCode},
                      {QStringLiteral("VXQSymbolMaster"), kSymbolMasterClassCode}};
    qint64 next = 3;
};

ClassCodeTable& table()
{
    static ClassCodeTable instance;
    return instance;
}

} // namespace

std::shared_ptr<VXQLibraryObjectProtocol> libraryObjectFor(const ZQObjectPtr& object)
{
    if (auto style = std::dynamic_pointer_cast<VXStyle>(object))
        return std::make_shared<StyleLibraryObject>(style);
    return std::dynamic_pointer_cast<VXQLibraryObjectProtocol>(object);
}

bool isLibraryObject(const ZQObject* object)
{
    return dynamic_cast<const VXStyle*>(object) || dynamic_cast<const VXQLibraryObjectProtocol*>(object);
}

QVariantMap classCodes()
{
    QMutexLocker lock(&table().mutex);
    return table().codes;
}

qint64 codeForClass(const QString& className)
{
    ClassCodeTable& codes = table();
    QMutexLocker lock(&codes.mutex);
    const auto found = codes.codes.constFind(className);
    if (found != codes.codes.constEnd())
        return found->toLongLong();
    const qint64 code = codes.next++;
    codes.codes.insert(className, code);
    return code;
}

QString localisedKindStringForClassCode(qint64 code)
{
    if (code == kStyleClassCode)
        return QCoreApplication::translate("VXQLibraryItem", "Style");
    if (code == kSymbolMasterClassCode)
        return QCoreApplication::translate("VXQLibraryItem", "Symbol");
    return QStringLiteral("--");
}

ZQObjectPtr libraryObjectWithFileData(const QByteArray& data, qint64 classCode)
{
    if (data.isEmpty())
        return nullptr;
    ZQObjectPtr object;
    if (classCode == kStyleClassCode)
        object = StyleLibraryCoding::libraryObjectWithFileData(data);
    else if (classCode == kSymbolMasterClassCode)
        object = VXQSymbolMaster::libraryObjectWithFileData(data);
    else
        object = platform::KeyedUnarchiver::unarchiveObjectWithData(data);
    if (!object || !isLibraryObject(object.get())) {
        LogEvent(kFileEvent, QStringLiteral("library object data (%1 bytes) holds no library object").arg(data.size()));
        return nullptr;
    }
    if (classCode != 0 && codeForClass(object->className()) != classCode) {
        LogEvent(kFileEvent, QStringLiteral("library object data holds a %1, not the class of code %2")
                                 .arg(object->className())
                                 .arg(classCode));
        return nullptr;
    }
    return object;
}

void addMimeDataToPasteboard(const QMimeData& data, platform::Pasteboard& pasteboard)
{
    for (const QString& format : data.formats()) {
        const QString type = platform::pasteboardTypeForMimeType(format);
        if (type.isEmpty())
            continue;
        pasteboard.addTypes({type});
        pasteboard.setDataForType(data.data(format), type);
    }
}

} // namespace LibraryObjects
