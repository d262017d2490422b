#pragma once

// Names shared by KeyedArchiver and KeyedUnarchiver.

#include <QString>

namespace platform::archive {

inline constexpr char kArchiverKey[] = "$archiver";
inline constexpr char kArchiverName[] = "ZQKeyedArchiver";
inline constexpr char kVersionKey[] = "$version";
inline constexpr int kVersion = 100000;
inline constexpr char kTopKey[] = "$top";
inline constexpr char kObjectsKey[] = "$objects";
inline constexpr char kNullEntry[] = "$null";
inline constexpr char kRootKey[] = "root";

inline constexpr char kClassKey[] = "$class";
inline constexpr char kClassNameKey[] = "$classname";
inline constexpr char kClassChainKey[] = "$classes";

// Lists and dictionaries are entries of their own, with their members as UID arrays.
inline constexpr char kArrayClass[] = "ZQArray";
inline constexpr char kDictionaryClass[] = "ZQDictionary";
inline constexpr char kMembersKey[] = "objects";
inline constexpr char kDictionaryKeysKey[] = "keys";

// The keys above as strings, made once: coders remember keys by their buffers.
struct FormatKeys {
    const QString archiver = QString::fromLatin1(kArchiverKey);
    const QString version = QString::fromLatin1(kVersionKey);
    const QString top = QString::fromLatin1(kTopKey);
    const QString objects = QString::fromLatin1(kObjectsKey);
    const QString root = QString::fromLatin1(kRootKey);
    const QString classReference = QString::fromLatin1(kClassKey);
    const QString className = QString::fromLatin1(kClassNameKey);
    const QString classChain = QString::fromLatin1(kClassChainKey);
    const QString members = QString::fromLatin1(kMembersKey);
    const QString dictionaryKeys = QString::fromLatin1(kDictionaryKeysKey);
};

inline const FormatKeys& formatKeys()
{
    static const FormatKeys keys;
    return keys;
}

} // namespace platform::archive
