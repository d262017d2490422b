// Reads arbitrary bytes as a property list; whatever reads must write and read again.
#include "platform/foundation/PropertyList.h"

#include <cstdint>
#include <cstdlib>

using platform::PropertyList;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));
    const auto dictionaries = size % 2 ? PropertyList::DictionaryType::Ordered : PropertyList::DictionaryType::Map;
    const std::optional<QVariant> value = PropertyList::fromData(bytes, nullptr, dictionaries);
    if (!value)
        return 0;
    for (PropertyList::Format format : {PropertyList::Format::Binary, PropertyList::Format::Xml}) {
        // Writing may refuse (a string with a NUL), but what it writes must read back.
        if (const std::optional<QByteArray> written = PropertyList::toData(*value, format)) {
            if (!PropertyList::fromData(*written, nullptr, dictionaries))
                std::abort();
        }
    }
    return 0;
}
