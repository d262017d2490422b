#include "windows/printing/ZQQuorvanePrintAccessoryController.h"

#include "app/printing/MapPrintOperation.h"
#include "platform/foundation/UndoSuspension.h"
#include "platform/vantrix/model/VXDrawing.h"
#include "platform/vantrix/model/VXGridLayer.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QLabel>
#include <QWidget>

namespace {

QString yesOrNo(bool flag)
{
    return flag ? QStringLiteral("Yes") : QStringLiteral("No");
}

} // namespace

ZQQuorvanePrintAccessoryController* ZQQuorvanePrintAccessoryController::sharedPrintAccessoryController()
{
    static auto* shared = new ZQQuorvanePrintAccessoryController;
    return shared;
}

VXDrawing* ZQQuorvanePrintAccessoryController::drawing() const
{
    return m_operation ? &m_operation->drawing() : nullptr;
}

void ZQQuorvanePrintAccessoryController::setPrintOperation(MapPrintOperation* operation)
{
    m_operation = operation;
    if (!operation)
        return;
    setFitToSinglePage(m_fitToSinglePage);
    setCropMarks(m_cropMarks);
    // The graph paper starts from the drawing, as the paper background does: opening the print
    // dialog must not switch off a grid the drawing prints.
    if (const std::shared_ptr<VXGridLayer> grid = operation->drawing().gridLayer())
        m_printsGraphPaper = grid->shouldDrawToPrinter();
}

void ZQQuorvanePrintAccessoryController::setFitToSinglePage(bool fit)
{
    m_fitToSinglePage = fit;
    if (m_operation)
        m_operation->setFitToSinglePage(fit);
    Q_EMIT optionsChanged();
}

void ZQQuorvanePrintAccessoryController::setCropMarks(int kind)
{
    m_cropMarks = kind;
    if (m_operation)
        m_operation->setCropMarkKind(kind);
    Q_EMIT optionsChanged();
}

void ZQQuorvanePrintAccessoryController::setPrintsGraphPaper(bool prints)
{
    m_printsGraphPaper = prints;
    if (VXDrawing* target = drawing())
        if (const std::shared_ptr<VXGridLayer> grid = target->gridLayer()) {
            const platform::UndoSuspension quiet(target->undoManager());
            grid->setShouldDrawToPrinter(prints);
        }
    Q_EMIT optionsChanged();
}

bool ZQQuorvanePrintAccessoryController::printsPaperBackground() const
{
    const VXDrawing* target = drawing();
    return target && target->paperColourIsPrinted();
}

void ZQQuorvanePrintAccessoryController::setPrintsPaperBackground(bool prints)
{
    if (VXDrawing* target = drawing()) {
        const platform::UndoSuspension quiet(target->undoManager());
        target->setPaperColourIsPrinted(prints);
    }
    Q_EMIT optionsChanged();
}

QList<QPair<QString, QString>> ZQQuorvanePrintAccessoryController::localizedSummaryItems() const
{
    const QString marks = m_cropMarks == MapPrintOperation::kCropMarksCorners ? tr("Corners")
                          : m_cropMarks == MapPrintOperation::kCropMarksEdges ? tr("Edges")
                                                                              : tr("None");
    return {{tr("Fit To Page"), yesOrNo(m_fitToSinglePage)},
            {tr("Crop Marks"), marks},
            {tr("Graph Paper"), yesOrNo(m_printsGraphPaper)},
            {tr("Print Paper Background"), yesOrNo(printsPaperBackground())}};
}

QString ZQQuorvanePrintAccessoryController::summaryText() const
{
    QStringList parts;
    for (const auto& [name, description] : localizedSummaryItems())
        parts.append(name + QStringLiteral(": ") + description);
    return parts.join(QStringLiteral("; "));
}

QWidget* ZQQuorvanePrintAccessoryController::makeOptionsTabForOperation(MapPrintOperation& operation)
{
    setPrintOperation(&operation);
    auto* tab = new QWidget;
    tab->setWindowTitle(tr("Map"));
    auto* form = new QFormLayout(tab);
    auto* fit = new QCheckBox(tr("Fit to page"));
    fit->setChecked(m_fitToSinglePage);
    connect(fit, &QCheckBox::toggled, this, &ZQQuorvanePrintAccessoryController::setFitToSinglePage);
    auto* marks = new QComboBox;
    marks->addItem(tr("None"), MapPrintOperation::kCropMarksNone);
    marks->addItem(tr("Corners"), MapPrintOperation::kCropMarksCorners);
    marks->addItem(tr("Edges"), MapPrintOperation::kCropMarksEdges);
    marks->setCurrentIndex(std::max(0, marks->findData(m_cropMarks)));
    connect(marks, &QComboBox::activated, this, [this, marks](int index) { setCropMarks(marks->itemData(index).toInt()); });
    auto* graphPaper = new QCheckBox(tr("Print graph paper"));
    graphPaper->setChecked(m_printsGraphPaper);
    connect(graphPaper, &QCheckBox::toggled, this, &ZQQuorvanePrintAccessoryController::setPrintsGraphPaper);
    auto* paper = new QCheckBox(tr("Print paper background"));
    paper->setChecked(printsPaperBackground());
    connect(paper, &QCheckBox::toggled, this, &ZQQuorvanePrintAccessoryController::setPrintsPaperBackground);
    auto* summary = new QLabel(summaryText());
    summary->setWordWrap(true);
    connect(this, &ZQQuorvanePrintAccessoryController::optionsChanged, summary,
            [this, summary] { summary->setText(summaryText()); });
    form->addRow(fit);
    form->addRow(tr("Crop marks:"), marks);
    form->addRow(graphPaper);
    form->addRow(paper);
    form->addRow(summary);
    connect(tab, &QObject::destroyed, this, [this, &operation] {
        if (m_operation == &operation)
            m_operation = nullptr;
    });
    return tab;
}
