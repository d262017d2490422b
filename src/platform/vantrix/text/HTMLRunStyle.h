#pragma once

// What an HTML element does to the look of the text inside it: the bold, italic, underline,
// strikethrough, super- or subscript, colour, font family and size its name stands for (b, h1,
// code, sup...), a <font> element's face, size and color, and an inline style attribute's
// declarations. An element starts from its parent's style; what nothing sets stays unset, so
// the text can take it from wherever it lands.

#include "platform/graphics/AttributedString.h"

#include <QByteArrayView>
#include <QColor>
#include <QString>
#include <functional>
#include <initializer_list>
#include <optional>

namespace platform {

struct HTMLRunStyle {
    std::optional<bool> bold;
    std::optional<bool> italic;
    bool underline = false;
    bool strikethrough = false;
    int script = 0; // >0 superscript, <0 subscript
    std::optional<QString> family;
    std::optional<double> pointSize;
    std::optional<QColor> colour;

    // An attribute's value by its lower-case name; a null string when the element has none.
    using AttributeLookup = std::function<QString(const char* name)>;
    // The style the element named `name` (lower case) gives its content.
    HTMLRunStyle inElement(QByteArrayView name, const AttributeLookup& attribute) const;
    // The text attributes of a run in this style: only what was set.
    TextAttributes attributes() const;
};

// Whether `name` (an element's, lower case) is one of `names`.
bool isElementNamed(QByteArrayView name, std::initializer_list<const char*> names);

// A colour as markup writes it: "#f00", "#ff0000", "ff0000", "red", "rgb(255, 0, 0)".
std::optional<QColor> colourFromHTML(QStringView value);

} // namespace platform
