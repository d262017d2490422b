#include "ArchiveTesting.h"

#include "platform/foundation/ArchiveFormat.h"
#include "platform/foundation/KeyedArchiver.h"
#include "platform/foundation/KeyedUnarchiver.h"
#include "platform/foundation/PropertyList.h"

#include <gtest/gtest.h>

namespace testsupport {

using namespace platform::archive;

void ArchiveStub::encodeWithCoder(platform::KeyedArchiver& coder) const
{
    for (auto it = values.cbegin(); it != values.cend(); ++it) {
        switch (it.value().metaType().id()) {
        case QMetaType::Double: coder.encodeDouble(it.value().toDouble(), it.key()); break;
        case QMetaType::Bool: coder.encodeBool(it.value().toBool(), it.key()); break;
        case QMetaType::QString: coder.encodeString(it.value().toString(), it.key()); break;
        case QMetaType::QVariantMap:
        case QMetaType::QVariantList: coder.encodeObject(it.value(), it.key()); break;
        default: coder.encodeInt(it.value().toLongLong(), it.key()); break;
        }
    }
    for (auto it = objects.cbegin(); it != objects.cend(); ++it)
        coder.encodeObject(it.value().get(), it.key());
}

QByteArray ArchiveStub::archiveAs(const QString& className) const
{
    const QByteArray data = platform::KeyedArchiver::archivedDataWithRootObject(this);
    QVariantMap archive = platform::PropertyList::fromData(data).value_or(QVariant()).toMap();
    QVariantList entries = archive.value(kObjectsKey).toList();
    const auto root = archive.value(kTopKey).toMap().value(kRootKey).value<platform::PlistUid>();
    const auto classUid = entries.value(root.value).toMap().value(kClassKey).value<platform::PlistUid>();
    QVariantMap classEntry = entries.value(classUid.value).toMap();
    EXPECT_EQ(classEntry.value(kClassNameKey).toString(), QStringLiteral("testsupport::ArchiveStub"));
    classEntry.insert(kClassNameKey, className);
    classEntry.insert(kClassChainKey, QVariantList{className});
    entries[classUid.value] = classEntry;
    archive.insert(kObjectsKey, entries);
    return platform::PropertyList::toData(archive, platform::PropertyList::Format::Binary).value_or(QByteArray());
}

ZQObjectPtr roundTrip(const ZQObject& root)
{
    QuorvaneError error;
    ZQObjectPtr decoded = platform::KeyedUnarchiver::unarchiveObjectWithData(
        platform::KeyedArchiver::archivedDataWithRootObject(&root), &error);
    EXPECT_FALSE(error.isError()) << qPrintable(error.localizedDescription());
    return decoded;
}

} // namespace testsupport
