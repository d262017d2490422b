#pragma once

// Reading the single-file libraries of an earlier generation ("symbolslib"): two sets of objects
// by key (symbol masters, styles), each with named categories listing keys. Their archive format
// belongs to a framework this program does not have, so the reader is injected; the default one
// finds every file unreadable, which the migration counts as nothing to migrate.

#include "platform/foundation/ZQObject.h"

#include <QHash>
#include <QStringList>
#include <functional>
#include <optional>

struct OldObjectSet {
    QStringList keys;
    QHash<QString, ZQObjectPtr> objects;
    QHash<QString, QStringList> categoriesOfKey;
    qsizetype categoryCount = 0;
};

struct OldSymbolsFile {
    std::optional<OldObjectSet> symbols;
    std::optional<OldObjectSet> styles;
};

// None when the bytes are no old symbols file this build can read.
using OldSymbolsFileReader = std::function<std::optional<OldSymbolsFile>(const QByteArray& contents)>;
