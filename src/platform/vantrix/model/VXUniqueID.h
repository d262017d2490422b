#pragma once

// Fresh identifiers for objects that must be told apart across documents and pasteboards.

#include <QString>
#include <QUuid>

class VXUniqueID {
public:
    // A new key each call: the text of a random UUID, upper case, without braces.
    static QString uniqueKey();
    // A random (version 4) UUID from the securely seeded global generator: as unique as the
    // system's, without asking the system for randomness each time (imports make thousands).
    static QUuid randomUuid();
};
