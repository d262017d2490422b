#pragma once

// The properties a search can offer for the objects of a drawing:
//  - every drawable offers its location, angle, size and area in drawing units, its searchable
//    text, grid reference, style name and type name;
//  - paths add their length and the style's widest stroke;
//  - each attribute an object carries adds a property named after its key in upper case
//    (attribute look-ups ignore case), except on placed symbols, which add their master's name.
// The two class tables are built once; a layer's table is built on each call.

#include "panels/search/ZQSearchableProperty.h"

class VXDrawableObject;
class VXObjectOwnerLayer;

namespace SearchableProperties {

// The drawable table, and the path table (the drawable table plus Length and Track Width).
const SearchablePropertyTable& drawableSearchableProperties();
const SearchablePropertyTable& pathSearchableProperties();
// The table of the object's class.
const SearchablePropertyTable& searchablePropertiesForObject(const VXDrawableObject& object);

// Whether `identifier` is the key path of a property some table offers (not an attribute).
bool isPropertyIdentifier(const QString& identifier);

// Adds what the object itself offers beyond its class table.
void addSearchablePropertiesToDictionary(const VXDrawableObject& object, SearchablePropertyTable& table);
// The path table plus what each of the layer's objects adds, hidden ones included.
SearchablePropertyTable gatherSearchableProperties(const VXObjectOwnerLayer& layer);

} // namespace SearchableProperties
