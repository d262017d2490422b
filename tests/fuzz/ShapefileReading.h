#pragma once

// What the shapefile targets do with a set once it is open: everything a reader of the set can ask.

class ZQESRIFile;

namespace fuzz {

// Bounds, counts, an import through a factory that looks at every path and attribute, every
// record's geometry, the attributes of each record's row and of rows past them, and the projection.
void readWholeSet(ZQESRIFile& file);

} // namespace fuzz
