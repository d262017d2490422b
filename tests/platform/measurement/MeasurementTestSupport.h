#pragma once

// Support for the measurement and furniture tests.

#include "platform/foundation/ZQLog.h"
#include "platform/foundation/ZQObject.h"

#include <QByteArray>
#include <QMap>
#include <QStringList>
#include <QVariantMap>

// Collects the log lines written while it lives.
class LogCapture {
public:
    LogCapture();
    ~LogCapture();
    bool contains(const QString& text) const;
    QStringList lines;

private:
    platform::Log::Sink m_previous;
};

// Writes archives that the classes under test would not write themselves (older layouts,
// damaged values): the stub archives the entries it is given, and archiveAs() renames its
// class in the archive to the class that should read them.
class ArchiveStub : public ZQObject {
    Q_OBJECT

public:
    // Doubles, integers, booleans and strings.
    QVariantMap values;
    QMap<QString, ZQObjectPtr> objects;

    void encodeWithCoder(platform::KeyedArchiver& coder) const override;

    QByteArray archiveAs(const QString& className) const;
};

// Archives `root` and decodes the archive again.
ZQObjectPtr roundTrip(const ZQObject& root);
