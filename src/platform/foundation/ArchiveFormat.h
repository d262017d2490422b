#pragma once

// Names shared by KeyedArchiver and KeyedUnarchiver.

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

} // namespace platform::archive
