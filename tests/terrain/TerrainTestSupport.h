#pragma once

// A drawing whose interior is a given size (no margins) holding one terrain layer, with an
// undo manager whose steps the tests close as the end of an event would.

#include "platform/foundation/ZQUndoManager.h"
#include "platform/vantrix/model/VXDrawing.h"
#include "terrain/layer/ZQContourLayer.h"

#include <QMessageBox>
#include <QWidget>
#include <QApplication>
#include <gtest/gtest.h>

namespace terraintest {

struct LayerFixture {
    std::unique_ptr<ZQUndoManager> undo = std::make_unique<ZQUndoManager>();
    VXDrawingPtr drawing;
    std::shared_ptr<ZQContourLayer> layer = std::make_shared<ZQContourLayer>();

    explicit LayerFixture(QSizeF interior = {500, 700})
        : drawing(VXDrawing::drawingWithSize(interior))
    {
        drawing->setMarginsLeftTopRightBottom(0, 0, 0, 0);
        drawing->setUndoManager(undo.get());
        layer->setLayerName(QStringLiteral("Terrain"));
        drawing->addLayer(layer);
        forgetEdits();
    }
    void endStep() { undo->closeAutomaticGroup(); }
    void forgetEdits()
    {
        endStep();
        undo->removeAllActions();
    }
    double height(qint64 x, qint64 y) const { return layer->heightForXY(x, y); }
    // The grid point's position.
    QPointF at(qint64 x, qint64 y) const { return layer->coordinateForXY(x, y); }
};

// A grid of `columns` from row-major heights.
inline std::shared_ptr<ZQMatrixArray> grid(quint64 columns, const QList<double>& heights)
{
    auto made = ZQMatrixArray::makeWithRowWidth(columns);
    made->setObjectsFromArray(heights);
    return made;
}

// The visible message box, if any; closes every one it finds after reading the first.
inline QString takeShownAlert()
{
    QString text;
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (auto* box = qobject_cast<QMessageBox*>(widget); box && box->isVisible()) {
            if (text.isEmpty())
                text = box->text() + QStringLiteral(" | ") + box->informativeText();
            box->reject();
        }
    return text;
}

} // namespace terraintest
