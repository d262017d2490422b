#pragma once

// Prints an item browser's icons: a grid of 50-point cells over the printable width, with the
// page headers and footers of the view's delegate, each icon drawn afresh finely enough for
// the printer (up to 600 dots per inch) while the pages are made.

#include <QImage>
#include <QtGlobal>

class JXDistributedViewDataSource;
class JXDistributedViewDelegate;
class QPrinter;
class VXQLibraryItem;

class LibraryItemPrinter {
public:
    static constexpr double kCellSide = 50.0;

    // The `count` items `source` gives; answers the number of pages.
    int print(QPrinter& printer, qint64 count, JXDistributedViewDataSource* source, JXDistributedViewDelegate* delegate);
    bool isPrinting() const { return m_pixelsPerPoint > 0; }
    // The item's preview drawn afresh for the printer (the stored one is screen-sized), or
    // the stored one when the object does not load or needs no more pixels.
    QImage printedIcon(VXQLibraryItem& item) const;

private:
    // Pixels per point of icons drawn for the printer; 0 when not printing.
    double m_pixelsPerPoint = 0;
};
