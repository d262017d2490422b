#pragma once

// The 216 web-safe colours: every colour whose red, green and blue are each one of 00, 33,
// 66, 99, CC and FF. They stand in for the system's named list of the same colours, in this
// fixed order: red varies slowest and blue fastest, each from 00 up to FF, so the list runs
// #000000, #000033, ... #0000FF, #003300, ... and ends with #FFFFFF.

#include <QColor>
#include <QList>

const QList<QColor>& webSafeColours();
