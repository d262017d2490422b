#pragma once

// Printing a map: the drawing fitted to one page or laid over as many pages as it needs at
// full size, with optional crop marks, onto any QPrinter (a PDF file included). The print
// options tab changes the operation before it runs; layers and paper print by their own flags.

#include <QList>
#include <QRectF>
#include <QSizeF>
#include <memory>

class QPainter;
class QPrinter;
class VXDrawing;

class MapPrintOperation {
public:
    enum CropMarkKind { kCropMarksNone = 0, kCropMarksCorners = 1, kCropMarksEdges = 2 };
    // Room kept inside the printable area for crop marks, and their length (points).
    static constexpr double kCropMarkRoom = 18;
    static constexpr double kCropMarkLength = 12;

    MapPrintOperation(std::shared_ptr<VXDrawing> drawing, QPrinter& printer);

    VXDrawing& drawing() const { return *m_drawing; }
    const std::shared_ptr<VXDrawing>& drawingPointer() const { return m_drawing; }
    QPrinter& printer() const { return m_printer; }

    bool fitToSinglePage() const { return m_fitToSinglePage; }
    void setFitToSinglePage(bool fit) { m_fitToSinglePage = fit; }
    // Kinds other than corners and edges print none.
    int cropMarkKind() const { return m_cropMarkKind; }
    void setCropMarkKind(int kind) { m_cropMarkKind = kind; }

    // The parts of a drawing of `drawingSize` that go on each page whose printable area holds
    // `printable` points: the whole drawing when fitting, else page-sized pieces, row by row.
    // None when either size is empty.
    static QList<QRectF> pagePiecesOfDrawing(QSizeF drawingSize, QSizeF printable, bool fit);

    // Prints every page; false when the printer cannot start or has no printable area.
    bool run();

private:
    QRectF contentArea() const;
    void drawCropMarks(QPainter& painter, const QRectF& content) const;

    std::shared_ptr<VXDrawing> m_drawing;
    QPrinter& m_printer;
    bool m_fitToSinglePage = false;
    int m_cropMarkKind = kCropMarksNone;
};
