#pragma once

// Something drawn with strokes that can say how wide the widest of them is. Rasterizers
// that size themselves to the line they sit on (a bridge spans the road it carries) ask
// the object they render through dynamic_cast.
class StrokeWidthSource {
public:
    virtual ~StrokeWidthSource() = default;
    virtual double widestStrokeWidth() const = 0;
};
