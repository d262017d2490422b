#pragma once

// A structural check of a binary property list before libplist parses it. libplist 2.2
// follows references recursively and copies a shared subtree at every reference, so a
// small hostile file can overflow the stack (deep nesting) or expand without bound
// (shared containers). The check walks the object references without recursion and
// refuses nesting beyond `maxDepth` and trees whose parsed size would exceed a small
// multiple of the file size.

#include <QByteArrayView>
#include <QString>

namespace platform {

bool checkBinaryPlistStructure(QByteArrayView data, int maxDepth, QString* problem);

} // namespace platform
