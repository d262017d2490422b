#include "inspectors/duplicate/ZQPolarDuplicateController.h"

#include "inspectors/duplicate/DuplicateFields.h"
#include "inspectors/duplicate/ScreenPointSampler.h"
#include "platform/foundation/ZQLog.h"
#include "platform/ui/ModifierKeys.h"
#include "platform/ui/Sheet.h"

#include <QCheckBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

using namespace duplicatefields;

ZQPolarDuplicateController::ZQPolarDuplicateController()
{
    initWithWindowNibName(QStringLiteral("QuorvanePolarDuplicateDialog"));
}

ZQPolarDuplicateController::~ZQPolarDuplicateController()
{
    m_sampler.reset();
    if (isWindowLoaded())
        delete window();
}

QDialog* ZQPolarDuplicateController::sheet()
{
    return qobject_cast<QDialog*>(window());
}

QWidget* ZQPolarDuplicateController::loadWindow()
{
    auto* dialog = new QDialog;
    dialog->setObjectName(windowNibName());
    dialog->setWindowTitle(tr("Polar Duplicate"));

    m_manualSettingsBox = new QGroupBox(tr("Copies"), dialog);
    m_copiesTextField = new QLineEdit(m_manualSettingsBox);
    m_angleIncrementTextField = new QLineEdit(m_manualSettingsBox);
    m_rotateCopiesCheckbox = new QCheckBox(tr("Rotate copies"), m_manualSettingsBox);
    auto* manual = new QFormLayout(m_manualSettingsBox);
    manual->addRow(tr("Number of copies:"), m_copiesTextField);
    manual->addRow(tr("Angle between copies (°):"), m_angleIncrementTextField);
    manual->addRow(m_rotateCopiesCheckbox);
    connect(m_copiesTextField, &QLineEdit::textEdited, this, [this] { copiesAction(m_copiesTextField); });
    for (QLineEdit* field : {m_copiesTextField.data(), m_angleIncrementTextField.data()})
        connect(field, &QLineEdit::textChanged, this, &ZQPolarDuplicateController::conditionallyEnableOKButton);

    m_autoFitCircleCheckbox = new QCheckBox(tr("Fit copies round the circle automatically"), dialog);
    connect(m_autoFitCircleCheckbox, &QCheckBox::clicked, this, [this] { autoFitAction(m_autoFitCircleCheckbox); });

    m_centreXTextField = new QLineEdit(dialog);
    m_centreYTextField = new QLineEdit(dialog);
    for (QLineEdit* field : {m_centreXTextField.data(), m_centreYTextField.data()})
        connect(field, &QLineEdit::textChanged, this, [this, field] { centreAction(field); });
    m_sampleModeButton = new QPushButton(tr("Pick in Drawing"), dialog);
    m_sampleModeButton->setCheckable(true);
    m_sampleModeButton->setAutoDefault(false);
    m_sampleModeButton->setToolTip(tr("Click the centre in the drawing; hold Control to snap it to the grid."));
    connect(m_sampleModeButton, &QPushButton::clicked, this, [this] { sampleCentrePointModeAction(m_sampleModeButton); });
    auto* centre = new QHBoxLayout;
    centre->addWidget(new QLabel(tr("Centre X:"), dialog));
    centre->addWidget(m_centreXTextField);
    centre->addWidget(new QLabel(tr("Y:"), dialog));
    centre->addWidget(m_centreYTextField);
    centre->addWidget(m_sampleModeButton);

    auto* buttons = new QDialogButtonBox(dialog);
    m_okButton = buttons->addButton(tr("Duplicate"), QDialogButtonBox::AcceptRole);
    m_okButton->setDefault(true);
    m_cancelButton = buttons->addButton(tr("Cancel"), QDialogButtonBox::RejectRole);
    connect(m_okButton, &QPushButton::clicked, this, [this] { duplicateAction(m_okButton); });
    connect(m_cancelButton, &QPushButton::clicked, this, [this] { cancelAction(m_cancelButton); });

    auto* layout = new QVBoxLayout(dialog);
    layout->addWidget(m_manualSettingsBox);
    layout->addWidget(m_autoFitCircleCheckbox);
    layout->addLayout(centre);
    layout->addWidget(buttons);

    m_sampler = std::make_unique<ScreenPointSampler>(
        dialog, [this](QPoint point, Qt::KeyboardModifiers modifiers) {
            updateSampleModeAtGridPoint(gridPointForScreenPoint(point, modifiers));
        },
        [this](std::optional<QPoint> point, Qt::KeyboardModifiers modifiers) {
            endSampleModeAtGridPoint(point ? std::optional(gridPointForScreenPoint(*point, modifiers)) : std::nullopt);
        });
    return dialog;
}

void ZQPolarDuplicateController::beginPolarDuplicationDialogPolarDelegate(QWidget* window,
                                                                          PolarDuplicateDelegate* delegate)
{
    m_delegateRef = delegate;
    QDialog* dialog = sheet();
    platform::Sheet::beginSheetModalForWindowCompletionHandler(dialog, window, [this](int code) { sheetDidEnd(code); });
    setup();
}

void ZQPolarDuplicateController::setup()
{
    sheet();
    const bool single = m_delegateRef && m_delegateRef->countOfItemsInSelection() == 1;
    m_autoFitCircleCheckbox->setEnabled(single);
    // A fit left on from a single object would now ask for one that is not there.
    if (!single && m_autoFitCircleCheckbox->isChecked()) {
        m_autoFitCircleCheckbox->setChecked(false);
        autoFitAction(m_autoFitCircleCheckbox);
    }
    m_rotateCopiesCheckbox->setChecked(true);
    m_copiesTextField->setText(QString::number(kDefaultCopies));
    m_angleIncrementTextField->setText(textForNumber(kDefaultAngleIncrement));
    conditionallyEnableOKButton();
}

void ZQPolarDuplicateController::copiesAction(QObject*)
{
    if (const std::optional<int> copies = copiesFromText(m_copiesTextField->text()))
        m_angleIncrementTextField->setText(textForNumber(360.0 / (*copies + 1)));
}

void ZQPolarDuplicateController::autoFitAction(QObject*)
{
    const bool manual = !m_autoFitCircleCheckbox->isChecked();
    m_angleIncrementTextField->setEnabled(manual);
    m_copiesTextField->setEnabled(manual);
    m_rotateCopiesCheckbox->setEnabled(manual);
    m_rotateCopiesCheckbox->setChecked(true);
    conditionallyEnableOKButton();
}

void ZQPolarDuplicateController::centreAction(QObject*)
{
    conditionallyEnableOKButton();
}

void ZQPolarDuplicateController::conditionallyEnableOKButton()
{
    if (!m_okButton)
        return;
    const bool centre = numberFromText(m_centreXTextField->text()) && numberFromText(m_centreYTextField->text());
    const bool manual = copiesFromText(m_copiesTextField->text()) && numberFromText(m_angleIncrementTextField->text());
    m_okButton->setEnabled(centre && !m_sampleMode && (m_autoFitCircleCheckbox->isChecked() || manual));
}

void ZQPolarDuplicateController::sampleCentrePointModeAction(QObject*)
{
    if (m_sampleMode)
        endSampleModeAtGridPoint(std::nullopt);
    else
        startSampleMode();
    m_sampleModeButton->setChecked(m_sampleMode);
}

void ZQPolarDuplicateController::startSampleMode()
{
    if (m_sampleMode || !m_delegateRef || !m_delegateRef->locatesGridPoints())
        return;
    m_sampleMode = true;
    conditionallyEnableOKButton();
    m_sampleModeButton->setChecked(true);
    m_sampler->start();
}

QPointF ZQPolarDuplicateController::gridPointForScreenPoint(QPoint point, Qt::KeyboardModifiers modifiers)
{
    if (!m_delegateRef)
        return {};
    QWidget* window = sheet();
    const bool snap = platform::modifierFlagsFromQt(modifiers) & platform::ControlKeyMask;
    return m_delegateRef->gridPointForPointInWindowSnapToGrid(window->mapFromGlobal(QPointF(point)), window, snap);
}

void ZQPolarDuplicateController::updateSampleModeAtGridPoint(QPointF gridPoint)
{
    m_centreXTextField->setText(textForNumber(gridPoint.x(), 2));
    m_centreYTextField->setText(textForNumber(gridPoint.y(), 2));
}

void ZQPolarDuplicateController::endSampleModeAtGridPoint(std::optional<QPointF> gridPoint)
{
    if (!m_sampleMode)
        return;
    m_sampleMode = false;
    m_sampler->stop();
    if (gridPoint) {
        updateSampleModeAtGridPoint(*gridPoint);
    } else {
        m_centreXTextField->clear();
        m_centreYTextField->clear();
    }
    m_sampleModeButton->setChecked(false);
    conditionallyEnableOKButton();
}

void ZQPolarDuplicateController::duplicateAction(QObject*)
{
    if (m_okButton->isEnabled())
        platform::Sheet::endSheetReturnCode(sheet(), platform::Sheet::kDefaultReturn);
}

void ZQPolarDuplicateController::cancelAction(QObject*)
{
    endSampleModeAtGridPoint(QPointF());
    platform::Sheet::endSheetReturnCode(sheet(), platform::Sheet::kCancelReturn);
}

void ZQPolarDuplicateController::sheetDidEnd(int returnCode)
{
    // A sheet closed other than by Cancel may still be sampling.
    endSampleModeAtGridPoint(QPointF());
    const std::optional<double> x = numberFromText(m_centreXTextField->text());
    const std::optional<double> y = numberFromText(m_centreYTextField->text());
    if (returnCode != platform::Sheet::kDefaultReturn || !m_delegateRef || !x || !y)
        return;
    const QPointF centre(*x, *y);
    if (m_autoFitCircleCheckbox->isChecked()) {
        m_delegateRef->doAutoPolarDuplicateWithCentre(centre);
        return;
    }
    const std::optional<int> copies = copiesFromText(m_copiesTextField->text());
    const std::optional<double> angle = numberFromText(m_angleIncrementTextField->text());
    if (!copies || !angle)
        return;
    const bool rotate = m_rotateCopiesCheckbox->isChecked();
    LogEvent(kReactiveEvent, QStringLiteral("dialog data: copies %1; centre {%2,%3}; incAngle %4; rotateCopies %5")
                                 .arg(*copies)
                                 .arg(centre.x(), 0, 'f', 2)
                                 .arg(centre.y(), 0, 'f', 2)
                                 .arg(*angle, 0, 'f', 3)
                                 .arg(int(rotate)));
    m_delegateRef->doPolarDuplicateCopiesCentreIncAngleRotateCopies(*copies, centre, *angle, rotate);
}
