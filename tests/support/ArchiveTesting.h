#pragma once

// Keyed-archive helpers for the tests of archivable classes.

#include "platform/foundation/ZQObject.h"

#include <QByteArray>
#include <QMap>
#include <QVariantMap>
#include <memory>

namespace testsupport {

// Writes archives that the classes under test would not write themselves (older layouts,
// damaged values): the stub archives the entries it is given, and archiveAs() renames its
// class in the archive to the class that should read them.
class ArchiveStub : public ZQObject {
    Q_OBJECT

public:
    // Doubles, integers, booleans, strings, and maps and lists of them or of data.
    QVariantMap values;
    QMap<QString, ZQObjectPtr> objects;

    void encodeWithCoder(platform::KeyedArchiver& coder) const override;

    QByteArray archiveAs(const QString& className) const;
};

// Archives `root` and decodes the archive again, expecting no error.
ZQObjectPtr roundTrip(const ZQObject& root);

// The same, null when the decoded object is not a T.
template <class T>
std::shared_ptr<T> roundTrip(const ZQObject& root)
{
    return std::dynamic_pointer_cast<T>(roundTrip(root));
}

} // namespace testsupport
