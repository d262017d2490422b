#pragma once

// What the shapefile targets do with a set once it is open: everything a reader of the set can ask.

class ZQESRIFile;

namespace fuzz {

// Bounds, an import through a factory that looks at every path and attribute, every record's
// geometry where the header holds, the attributes of rows around the records, and the projection.
void readWholeSet(ZQESRIFile& file);

} // namespace fuzz
