#pragma once

// The map's print options, one set for the whole application: fit to page, crop marks (none,
// corners, edges), graph paper and paper background. They show as a tab of the print dialog
// and act on the print operation at once; graph paper and paper background change the
// drawing itself, without an undo step, and last after printing. Fit and crop marks stay for
// the next print; graph paper and paper background always start from the drawing.

#include <QList>
#include <QObject>
#include <QPair>
#include <QPointer>

class MapPrintOperation;
class QWidget;
class VXDrawing;

class ZQQuorvanePrintAccessoryController : public QObject {
    Q_OBJECT

public:
    static ZQQuorvanePrintAccessoryController* sharedPrintAccessoryController();

    // A new options tab for the print dialog of `operation`; the operation is let go when the
    // tab goes.
    QWidget* makeOptionsTabForOperation(MapPrintOperation& operation);
    // Applies the options to the operation (graph paper and paper background are read from
    // its drawing).
    void setPrintOperation(MapPrintOperation* operation);
    MapPrintOperation* printOperation() const { return m_operation; }

    bool fitToSinglePage() const { return m_fitToSinglePage; }
    void setFitToSinglePage(bool fit);
    int cropMarks() const { return m_cropMarks; }
    void setCropMarks(int kind);
    bool printsGraphPaper() const { return m_printsGraphPaper; }
    void setPrintsGraphPaper(bool prints);
    bool printsPaperBackground() const;
    void setPrintsPaperBackground(bool prints);

    // ("Fit To Page", "Yes"), ("Crop Marks", "Edges"), ("Graph Paper", "No"),
    // ("Print Paper Background", "No").
    QList<QPair<QString, QString>> localizedSummaryItems() const;
    QString summaryText() const;

Q_SIGNALS:
    void optionsChanged();

private:
    ZQQuorvanePrintAccessoryController() = default;
    VXDrawing* drawing() const;

    MapPrintOperation* m_operation = nullptr;
    bool m_fitToSinglePage = false;
    int m_cropMarks = 0;
    bool m_printsGraphPaper = false;
};
