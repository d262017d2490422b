#pragma once

// The map document's set-up: the drawing set-up sheet (paper, units, margins, graph paper,
// map scale and prescale) and the map-scale calibration sheet. The document owns one, stays
// the delegate of both sheets and forwards their messages here.
//
// Each sheet is made on first use and kept for the document's life: the set-up sheet through
// WindowServices, the calibration sheet by class name. A committed set-up is one undo step
// ("Drawing Setup"); previews and cancels leave the undo history alone.

#include <QCoreApplication>
#include <QVariantMap>
#include <memory>

#include "platform/foundation/ZQObject.h"

class DrawingSetupSheet;
class ZQCalibrationPanel;
class ZQQuorvaneDocument;

class MapDrawingSetup {
    // The texts are the document's own.
    Q_DECLARE_TR_FUNCTIONS(ZQQuorvaneDocument)

public:
    explicit MapDrawingSetup(ZQQuorvaneDocument& document) : m_document(document) {}
    MapDrawingSetup(const MapDrawingSetup&) = delete;
    MapDrawingSetup& operator=(const MapDrawingSetup&) = delete;

    // A new set-up dictionary (see DrawingSetupSettings.h) of the drawing; unlocks the grid
    // without an undo step and always reports the index grid missing.
    QVariantMap currentSettings();
    // Applies a set-up dictionary. A preview or cancel (true) registers no undo; a commit
    // (false) is one undo step that goes back to the sheet's original settings (the state
    // before, without a sheet) and locks the graph paper. An empty dictionary is a
    // programming error.
    void apply(const QVariantMap& settings, bool previewOrCancel);
    // The part a live preview shows: map scale, units, grid and paper.
    void preview(const QVariantMap& settings);

    // The set-up sheet on the document's window at a DrawingSetupSheet::Page.
    void runSheetOnPage(int page);
    // Whether the set-up sheet is kept or can be made.
    bool canRunSheet() const;

    // The calibration sheet; null while no library provides one.
    ZQCalibrationPanel* calibrationPanel();
    // Opens it on the document's window with the map-side length editable.
    void runCalibrationPanel();

private:
    ZQQuorvaneDocument& m_document;
    std::shared_ptr<DrawingSetupSheet> m_sheet;
    ZQObjectPtr m_calibrationPanel;
};
