#pragma once

// Fresh identifiers for objects that must be told apart across documents and pasteboards.

#include <QString>

class VXUniqueID {
public:
    // A new key each call: the text of a random UUID, upper case, without braces.
    static QString uniqueKey();
};
