#pragma once

// The choices of one shapefile import in one value: simplification, automatic colouring and
// what to keep. The import reads its settings from the user defaults the options panel
// writes; this bundle is for callers that want to hold a set of choices as one thing.

#include <QString>

struct ZQShapefileImportOptions {
    bool autoColour = false;
    bool discardOutOfViewObjects = false;
    bool enableGeoreference = false;
    qint32 detail = 0;
    double simplificationFactor = 0;
    QString simplifierClass;
    QString autoColourPaletteName;

    bool operator==(const ZQShapefileImportOptions&) const = default;
};
