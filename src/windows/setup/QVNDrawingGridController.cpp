#include "windows/setup/QVNDrawingGridController.h"

#include "app/utilities/DictionaryUtilities.h"
#include "app/application/VLTMHelpTrampoline.h"
#include "app/document/ZQQuorvaneDocument.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/ui/Application.h"
#include "platform/ui/ColourWell.h"
#include "platform/ui/NumberFormat.h"
#include "platform/ui/Sheet.h"
#include "platform/vantrix/model/VXDrawing.h"
#include "widgets/fields/SliderAndStepper.h"
#include "widgets/previews/ZQDocumentPreviewView.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QDoubleSpinBox>
#include <QFile>
#include <QFileDialog>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPageSetupDialog>
#include <QPainter>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QSignalBlocker>
#include <QSlider>
#include <QSpinBox>
#include <QTabWidget>
#include <cmath>
#include <optional>

namespace {

const QString* const kMarginKeys[4] = {&kQVNDrawingMarginTopValue, &kQVNDrawingMarginLeftValue,
                                       &kQVNDrawingMarginRightValue, &kQVNDrawingMarginBottomValue};
constexpr int kPrescaleSliderSteps = 100; // slider units per 1.0 of prescale
constexpr double kPrescaleMinimum = 0.1;
constexpr double kPrescaleMaximum = 10.0;
constexpr double kPrescaleIncrement = 0.05;
constexpr int kSwatchSide = 16;
const QString kGraphPaperTabName = QStringLiteral("graph_paper");

// Lenient reading: a number in the C locale, optionally followed by a unit symbol.
std::optional<double> numberInField(const QLineEdit* field)
{
    static const QRegularExpression leadingNumber(QStringLiteral("^\\s*([-+]?[0-9]*\\.?[0-9]+(?:[eE][-+]?[0-9]+)?)"));
    const QRegularExpressionMatch match = leadingNumber.match(field->text());
    if (!match.hasMatch())
        return std::nullopt;
    bool ok = false;
    const double value = QLocale::c().toDouble(match.captured(1), &ok);
    return ok ? std::optional<double>(value) : std::nullopt;
}

// The text a field was given, so that leaving the field without typing does not store the
// rounded number.
const char* const kShownTextProperty = "shownText";

// At most two decimals, then the unit's symbol: an A4 page reads "20.99 cm", not "20.9903 cm".
void showNumber(QLineEdit* field, double value, const QString& symbol)
{
    const QString pattern = symbol.isEmpty() ? QStringLiteral("0.##") : QStringLiteral("0.## ") + symbol;
    const QString text = platform::NumberFormat(pattern).stringFromNumber(value);
    field->setText(text);
    field->setProperty(kShownTextProperty, text);
}

platform::ColourWell* makeWell(QObject* target, const QByteArray& action)
{
    auto* well = new platform::ColourWell;
    well->setTarget(target);
    well->setAction(action);
    return well;
}

} // namespace

QVNDrawingGridController::QVNDrawingGridController() = default;

QVNDrawingGridController::~QVNDrawingGridController()
{
    platform::NotificationCenter::defaultCenter().removeObserver(this);
    delete m_window;
}

// --- Opening and ending -----------------------------------------------------------------------------

void QVNDrawingGridController::beginDialogWithParentWindowDelegateInitialPage(QWidget* window,
                                                                              ZQQuorvaneDocument* delegate, int page)
{
    m_document = delegate;
    m_model.setDelegate(this);
    if (!m_window)
        makeWindow();
    const int shown = m_model.beginWithInitialPage(page);
    loadControls();
    m_tabs->setCurrentIndex(std::min(shown, m_tabs->count() - 1));
    if (m_window->isVisible())
        return;
    platform::Sheet::beginSheetModalForWindowCompletionHandler(m_window, window,
                                                              [this](int code) { dialogDidEnd(code); });
}

bool QVNDrawingGridController::selectTab(int index)
{
    if (!m_model.maySelectPage(index) || index >= m_tabs->count()) {
        platform::Application::beep();
        return false;
    }
    m_tabs->setCurrentIndex(index);
    return true;
}

void QVNDrawingGridController::okButtonAction(QObject*)
{
    platform::Sheet::endSheetReturnCode(m_window, platform::Sheet::kDefaultReturn);
}

void QVNDrawingGridController::cancelButtonAction(QObject*)
{
    platform::Sheet::endSheetReturnCode(m_window, platform::Sheet::kCancelReturn);
}

void QVNDrawingGridController::dialogDidEnd(int code)
{
    platform::ColourWell::deactivateAll();
    m_model.endWithCode(code);
    m_textures->finish();
}

void QVNDrawingGridController::applyButtonAction(QObject*)
{
    m_model.apply();
    loadControls();
}

void QVNDrawingGridController::pageSetupAction(QObject*)
{
    if (!m_document)
        return;
    auto printer = std::make_shared<QPrinter>(QPrinter::HighResolution);
    printer->setPageLayout(m_document->printInfo());
    auto* dialog = new QPageSetupDialog(printer.get(), m_window);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    platform::Sheet::beginSheetModalForWindowCompletionHandler(dialog, m_window, [this, printer](int code) {
        if (code == platform::Sheet::kDefaultReturn && m_document)
            m_document->setPrintInfo(printer->pageLayout());
    });
}

void QVNDrawingGridController::setDrawingSizeDefaultsAction(QObject*)
{
    m_model.setAsDefault();
}

// --- Paper ------------------------------------------------------------------------------------------------

void QVNDrawingGridController::paperImageButtonAction(QObject*)
{
    auto* panel = new QFileDialog(m_window, tr("Choose a Paper Image"));
    panel->setFileMode(QFileDialog::ExistingFile);
    panel->setAttribute(Qt::WA_DeleteOnClose);
    connect(panel, &QFileDialog::fileSelected, this, [this](const QString& path) { takePaperImageFromFile(path); });
    panel->open();
}

bool QVNDrawingGridController::takePaperImageFromFile(const QString& path)
{
    QFile file(path);
    const QImage tile = file.open(QIODevice::ReadOnly) ? VXDrawing::readPaperTile(file) : QImage();
    if (!m_model.setPaperImage(tile)) {
        platform::Application::beep();
        return false;
    }
    loadControls();
    return true;
}

void QVNDrawingGridController::paperColourAction(QObject*)
{
    m_model.setPaperColour(m_paperWell->color());
    loadControls();
}

void QVNDrawingGridController::textureControllerApplyTexture(VXQBackgroundTextureController*, const QBrush& paper)
{
    m_model.applyTexture(paper);
    loadPaper();
}

// The well shows a plain paper colour; a texture or picture shows on the image button's swatch
// and over the page preview.
void QVNDrawingGridController::loadPaper()
{
    const QBrush paper = m_model.currentBackgroundTexture();
    const bool plain = paper.style() == Qt::SolidPattern;
    if (plain)
        m_paperWell->setColor(paper.color());
    m_pagePreview->setDocumentColour(plain ? paper.color() : QColor(Qt::white));
    m_pagePreview->setDocumentTexture(plain ? QBrush() : paper);
    m_pagePreview->update();
    QPixmap swatch(kSwatchSide, kSwatchSide);
    swatch.fill(Qt::white);
    if (!plain) {
        QPainter painter(&swatch);
        painter.fillRect(swatch.rect(), paper);
    }
    m_paperImage->setIcon(plain ? QIcon() : QIcon(swatch));
}

void QVNDrawingGridController::mapScaleChanged(QObject*)
{
    if (!m_loading && m_calibration->mapScale())
        m_model.setMapScale(m_calibration->mapScale());
}

void QVNDrawingGridController::takePrescale(double prescale)
{
    if (!m_model.setPrescale(prescale))
        platform::Application::beep();
    loadControls();
}

void QVNDrawingGridController::textureControllerSetBackgroundTextureName(VXQBackgroundTextureController*,
                                                                         const QString& name)
{
    m_model.setBackgroundTextureName(name);
}

// --- Grid colours ------------------------------------------------------------------------------------

void QVNDrawingGridController::themeColourWellAction(QObject*)
{
    const QColor theme = m_themeWell->color();
    m_model.setThemeColour(theme);
    m_spanWell->setColor(theme);
    m_divisionsWell->setColor(DrawingSetupModel::lighterColour(theme, 0.5));
    m_majorsWell->setColor(DrawingSetupModel::darkerColour(theme, 0.33));
}

void QVNDrawingGridController::spanColourAction(QObject*)
{
    m_model.setSpanColour(m_spanWell->color());
}

void QVNDrawingGridController::divisionsColourAction(QObject*)
{
    m_model.setDivisionsColour(m_divisionsWell->color());
}

void QVNDrawingGridController::majorsColourAction(QObject*)
{
    m_model.setMajorsColour(m_majorsWell->color());
}

// --- Delegate ----------------------------------------------------------------------------------------------

QVariantMap QVNDrawingGridController::dictionaryOfDrawingSettings()
{
    return m_document ? m_document->dictionaryOfDrawingSettings() : QVariantMap();
}

void QVNDrawingGridController::performDrawingSetUpWithOptionsIsPreviewOrCancel(const QVariantMap& settings,
                                                                              bool previewOrCancel)
{
    if (m_document)
        m_document->performDrawingSetUpWithOptionsIsPreviewOrCancel(settings, previewOrCancel);
}

// --- The window ----------------------------------------------------------------------------------------------

QLineEdit* QVNDrawingGridController::marginField(const QString& marginKey) const
{
    for (int i = 0; i < 4; ++i)
        if (*kMarginKeys[i] == marginKey)
            return m_marginFields[i];
    return nullptr;
}

// A field whose typed number goes to `take`; a refused one beeps and shows the kept value.
QLineEdit* QVNDrawingGridController::makeField(const std::function<bool(double)>& take)
{
    auto* field = new QLineEdit;
    field->setMaximumWidth(110);
    connect(field, &QLineEdit::editingFinished, this, [this, field, take] {
        if (m_loading || field->text() == field->property(kShownTextProperty).toString())
            return;
        const std::optional<double> value = numberInField(field);
        if (!value || !take(*value))
            platform::Application::beep();
        loadControls();
    });
    return field;
}

void QVNDrawingGridController::makeWindow()
{
    m_window = new QDialog;
    m_window->setWindowTitle(tr("Drawing Setup"));
    m_calibration = std::make_unique<QVNCalibrationController>();
    platform::NotificationCenter::defaultCenter().addObserver(
        this, kQVNCalibrationControllerDidChangeMapScale, m_calibration.get(),
        [this](const platform::Notification&) { mapScaleChanged(m_calibration.get()); });
    auto* layout = new QVBoxLayout(m_window);
    m_tabs = new QTabWidget;
    m_tabs->addTab(makeDrawingPage(), tr("Drawing"));
    m_graphPaperPage = makeGraphPaperPage();
    m_graphPaperPage->setObjectName(kGraphPaperTabName);
    m_tabs->addTab(m_graphPaperPage, tr("Graph Paper"));
    layout->addWidget(m_tabs);

    auto* buttons = new QHBoxLayout;
    auto* help = new QPushButton(tr("Help"));
    connect(help, &QPushButton::clicked, this, [this] {
        VLTMHelpTrampoline::sharedHelpTrampoline()->showHelpForIdentifier(
            m_tabs->currentWidget() == m_graphPaperPage ? QStringLiteral("graph-paper")
                                                        : QStringLiteral("Setting_Up_a_New_Drawing"));
    });
    m_preview = new QCheckBox(tr("Preview"));
    m_preview->setChecked(true);
    connect(m_preview, &QCheckBox::toggled, this, [this](bool on) {
        m_model.setPreviewEnabled(on);
        m_apply->setEnabled(m_model.applyEnabled());
    });
    auto* setDefault = new QPushButton(tr("Set as Default"));
    connect(setDefault, &QPushButton::clicked, this, [this] { setDrawingSizeDefaultsAction(nullptr); });
    m_apply = new QPushButton(tr("Apply"));
    m_apply->setEnabled(false);
    connect(m_apply, &QPushButton::clicked, this, [this] { applyButtonAction(nullptr); });
    auto* cancel = new QPushButton(tr("Cancel"));
    connect(cancel, &QPushButton::clicked, this, [this] { cancelButtonAction(nullptr); });
    auto* ok = new QPushButton(tr("OK"));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, [this] { okButtonAction(nullptr); });
    buttons->addWidget(help);
    buttons->addWidget(m_preview);
    buttons->addStretch();
    buttons->addWidget(setDefault);
    buttons->addWidget(m_apply);
    buttons->addWidget(cancel);
    buttons->addWidget(ok);
    layout->addLayout(buttons);
}

QWidget* QVNDrawingGridController::makeDrawingPage()
{
    auto* page = new QWidget;
    auto* columns = new QHBoxLayout(page);
    auto* form = new QFormLayout;

    m_width = makeField([this](double value) { return m_model.setDrawingWidth(value); });
    m_height = makeField([this](double value) { return m_model.setDrawingHeight(value); });
    auto* size = new QHBoxLayout;
    size->addWidget(m_width);
    size->addWidget(new QLabel(QStringLiteral("×")));
    size->addWidget(m_height);
    form->addRow(tr("Size:"), size);

    m_units = new QComboBox;
    m_units->setAccessibleName(tr("Drawing Units"));
    for (const ZQUnitLengthPtr& unit :
         {ZQUnitLength::points(), ZQUnitLength::millimeters(), ZQUnitLength::centimeters(), ZQUnitLength::inches()})
        m_units->addItem(unit->fullName(), QVariant::fromValue<ZQObjectPtr>(unit));
    connect(m_units, &QComboBox::activated, this, [this](int index) {
        m_model.setUnits(std::dynamic_pointer_cast<ZQUnitLength>(m_units->itemData(index).value<ZQObjectPtr>()));
        loadControls();
    });
    form->addRow(tr("Units:"), m_units);

    m_subtractMargins = new QCheckBox(tr("Subtract printer margins"));
    connect(m_subtractMargins, &QCheckBox::clicked, this, [this](bool on) { m_model.setSubtractPaperMargins(on); });
    auto* pageSetup = new QPushButton(tr("Page Setup..."));
    connect(pageSetup, &QPushButton::clicked, this, [this] { pageSetupAction(nullptr); });
    auto* printer = new QHBoxLayout;
    printer->addWidget(m_subtractMargins);
    printer->addWidget(pageSetup);
    form->addRow(QString(), printer);

    auto* margins = new QGroupBox(tr("Margins"));
    auto* marginForm = new QFormLayout(margins);
    const QString titles[4] = {tr("Top:"), tr("Left:"), tr("Right:"), tr("Bottom:")};
    for (int i = 0; i < 4; ++i) {
        const QString key = *kMarginKeys[i];
        m_marginFields[i] = makeField([this, key](double value) { return m_model.setMargin(key, value); });
        marginForm->addRow(titles[i], m_marginFields[i]);
    }
    m_adjustMargins = new QCheckBox(tr("Adjust margins to fit whole grid spans"));
    connect(m_adjustMargins, &QCheckBox::clicked, this, [this](bool on) { m_model.setTweakMargins(on); });
    marginForm->addRow(m_adjustMargins);
    form->addRow(margins);

    auto* paper = new QGroupBox(tr("Paper"));
    auto* paperRow = new QHBoxLayout(paper);
    m_paperWell = makeWell(this, "paperColourAction");
    m_paperImage = new QPushButton(tr("Image..."));
    connect(m_paperImage, &QPushButton::clicked, this, [this] { paperImageButtonAction(nullptr); });
    m_texturePopUp = new QPushButton;
    m_textures = new VXQBackgroundTextureController(this);
    m_textures->setDelegate(this);
    m_textures->setPopUpButton(m_texturePopUp);
    m_paperPrinted = new QCheckBox(tr("Print paper"));
    connect(m_paperPrinted, &QCheckBox::clicked, this, [this](bool on) { m_model.setPaperPrinted(on); });
    paperRow->addWidget(m_paperWell);
    paperRow->addWidget(m_paperImage);
    paperRow->addWidget(m_texturePopUp);
    paperRow->addWidget(m_paperPrinted);
    form->addRow(paper);

    m_prescaleField = makeField([this](double value) { return m_model.setPrescale(value); });
    m_prescaleStepper = new ZQStepper;
    m_prescaleStepper->setRange(kPrescaleMinimum, kPrescaleMaximum);
    m_prescaleStepper->setIncrement(kPrescaleIncrement);
    connect(m_prescaleStepper, &ZQStepper::moved, this, [this](double value) { takePrescale(value); });
    m_prescaleSlider = new QSlider(Qt::Horizontal);
    m_prescaleSlider->setRange(int(kPrescaleMinimum * kPrescaleSliderSteps), int(kPrescaleMaximum * kPrescaleSliderSteps));
    connect(m_prescaleSlider, &QSlider::valueChanged, this, [this](int value) {
        if (!m_loading)
            takePrescale(double(value) / kPrescaleSliderSteps);
    });
    auto* prescale = new QHBoxLayout;
    prescale->addWidget(m_prescaleField);
    prescale->addWidget(m_prescaleStepper);
    prescale->addWidget(m_prescaleSlider);
    form->addRow(tr("Symbol prescale:"), prescale);
    auto* mapScale = new QGroupBox(tr("Map Scale"));
    auto* mapScaleLayout = new QVBoxLayout(mapScale);
    mapScaleLayout->addWidget(m_calibration->embeddedPane());
    form->addRow(mapScale);

    columns->addLayout(form);
    m_pagePreview = new ZQDocumentPreviewView(QRect(0, 0, 180, 180));
    m_pagePreview->setMinimumSize(180, 180);
    columns->addWidget(m_pagePreview, 0, Qt::AlignTop);
    return page;
}

QWidget* QVNDrawingGridController::makeGraphPaperPage()
{
    auto* page = new QWidget;
    auto* form = new QFormLayout(page);
    m_gridType = new QComboBox;
    m_gridType->addItem(tr("Square"), 0);
    m_gridType->addItem(tr("Isometric"), 1);
    connect(m_gridType, &QComboBox::activated, this, [this](int index) {
        m_model.setGridType(m_gridType->itemData(index).toInt());
        m_isoVerticals->setVisible(m_gridType->itemData(index).toInt() != 0);
    });
    m_isoVerticals = new QCheckBox(tr("Show verticals"));
    connect(m_isoVerticals, &QCheckBox::clicked, this, [this](bool on) { m_model.setIsometricVerticals(on); });
    auto* type = new QHBoxLayout;
    type->addWidget(m_gridType);
    type->addWidget(m_isoVerticals);
    form->addRow(tr("Grid type:"), type);

    m_span = new QDoubleSpinBox;
    m_span->setRange(0.01, 1e6);
    m_span->setDecimals(3);
    m_span->setKeyboardTracking(false);
    connect(m_span, &QDoubleSpinBox::valueChanged, this, [this](double value) {
        if (!m_loading && !m_model.setSpanMultiplier(value))
            platform::Application::beep();
    });
    m_spanUnits = new QLabel;
    auto* span = new QHBoxLayout;
    span->addWidget(m_span);
    span->addWidget(m_spanUnits);
    form->addRow(tr("Span:"), span);
    const auto countBox = [this](const std::function<bool(double)>& take) {
        auto* box = new QSpinBox;
        box->setRange(1, 1000);
        box->setKeyboardTracking(false);
        connect(box, &QSpinBox::valueChanged, this, [this, take](int value) {
            if (!m_loading)
                take(value);
        });
        return box;
    };
    m_divisions = countBox([this](double value) { return m_model.setDivisions(value); });
    m_majors = countBox([this](double value) { return m_model.setMajors(value); });
    m_rulerInterval = countBox([this](double value) { return m_model.setRulerLabelInterval(value); });
    form->addRow(tr("Divisions per span:"), m_divisions);
    form->addRow(tr("Spans per major line:"), m_majors);
    form->addRow(tr("Ruler label interval:"), m_rulerInterval);

    m_themeSelector = new QButtonGroup(page);
    auto* theme = new QRadioButton(tr("Theme colour"));
    auto* separate = new QRadioButton(tr("Separate colours"));
    m_themeSelector->addButton(theme, DrawingSetupModel::kThemeColourSelector);
    m_themeSelector->addButton(separate, DrawingSetupModel::kSeparateColoursSelector);
    connect(m_themeSelector, &QButtonGroup::idClicked, this, [this](int id) {
        m_model.setThemeSelector(id);
        validateControls();
    });
    m_themeWell = makeWell(this, "themeColourWellAction");
    m_spanWell = makeWell(this, "spanColourAction");
    m_divisionsWell = makeWell(this, "divisionsColourAction");
    m_majorsWell = makeWell(this, "majorsColourAction");
    auto* themeRow = new QHBoxLayout;
    themeRow->addWidget(theme);
    themeRow->addWidget(m_themeWell);
    form->addRow(themeRow);
    auto* separateRow = new QHBoxLayout;
    separateRow->addWidget(separate);
    for (platform::ColourWell* well : {m_spanWell, m_divisionsWell, m_majorsWell})
        separateRow->addWidget(well);
    form->addRow(separateRow);

    m_gridVisible = new QCheckBox(tr("Show grid"));
    connect(m_gridVisible, &QCheckBox::clicked, this, [this](bool on) { m_model.setGridVisible(on); });
    m_gridPrinted = new QCheckBox(tr("Print grid"));
    connect(m_gridPrinted, &QCheckBox::clicked, this, [this](bool on) { m_model.setGridPrinted(on); });
    form->addRow(m_gridVisible);
    form->addRow(m_gridPrinted);
    return page;
}

// --- Loading the controls --------------------------------------------------------------------------------

void QVNDrawingGridController::loadControls()
{
    const QSignalBlocker blockTabs(m_tabs);
    m_loading = true;
    const QVariantMap& settings = m_model.currentSettings();
    const QString symbol = settings.value(kQVNDrawingUnitAbbreviatedStringValue).toString();
    showNumber(m_width, floatValueForKey(settings, kQVNDrawingSizeHorizontalValue), symbol);
    showNumber(m_height, floatValueForKey(settings, kQVNDrawingSizeVerticalValue), symbol);
    for (int i = 0; i < 4; ++i)
        showNumber(m_marginFields[i], floatValueForKey(settings, *kMarginKeys[i]), symbol);
    m_pagePreview->setAspect(QSizeF(floatValueForKey(settings, kQVNDrawingSizeHorizontalValue),
                                    floatValueForKey(settings, kQVNDrawingSizeVerticalValue)));
    m_pagePreview->setContentImage(settings.value(kQVNDrawingDocumentImage).value<QImage>());
    loadPaper();
    m_subtractMargins->setChecked(boolValueForKey(settings, kQVNSubtractPaperMargins));
    if (const ZQUnitLengthPtr units = drawingsetup::units(settings)) {
        for (int i = 0; i < m_units->count(); ++i) {
            const auto unit = std::dynamic_pointer_cast<ZQUnitLength>(m_units->itemData(i).value<ZQObjectPtr>());
            if (unit && unit->isEqualToUnit(units.get()))
                m_units->setCurrentIndex(i);
        }
    }
    m_paperPrinted->setChecked(boolValueForKey(settings, kQVNPaperColourPrintableValue));
    m_adjustMargins->setChecked(boolValueForKey(settings, kQVNDrawingTweakMarginsFlagValue));
    const double prescale = floatValueForKey(settings, kQVNDocumentPrescale);
    showNumber(m_prescaleField, prescale, {});
    m_prescaleSlider->setValue(int(std::lround(prescale * kPrescaleSliderSteps)));
    m_prescaleStepper->setDoubleValue(prescale);
    if (const VXQMapScalePtr scale = m_model.mapScale())
        m_calibration->setMapScale(scale);
    if (m_model.hasDrawingGrid()) {
        if (m_tabs->indexOf(m_graphPaperPage) < 0)
            m_tabs->addTab(m_graphPaperPage, tr("Graph Paper"));
        loadGridControls();
    } else if (const int index = m_tabs->indexOf(m_graphPaperPage); index >= 0) {
        m_tabs->removeTab(index);
    }
    validateControls();
    m_apply->setEnabled(m_model.applyEnabled());
    m_textures->sync();
    m_loading = false;
}

void QVNDrawingGridController::loadGridControls()
{
    const QVariantMap& settings = m_model.currentSettings();
    m_span->setValue(floatValueForKey(settings, kQVNGridSpanMultiplierValue));
    m_spanUnits->setText(settings.value(kQVNDrawingUnitAbbreviatedStringValue).toString());
    m_divisions->setValue(intValueForKey(settings, kQVNGridDivisionsValue));
    m_majors->setValue(intValueForKey(settings, kQVNGridMajorsValue));
    m_rulerInterval->setValue(intValueForKey(settings, kQVNRulerLabelIntervalValue));
    m_gridPrinted->setChecked(boolValueForKey(settings, kQVNPrintGridFlagValue));
    m_gridVisible->setChecked(boolValueForKey(settings, kQVNGridVisibleValue));
    m_themeWell->setColor(drawingsetup::colour(settings, kQVNGridThemeColourValue));
    m_spanWell->setColor(drawingsetup::colour(settings, kQVNGridSpanColourValue));
    m_divisionsWell->setColor(drawingsetup::colour(settings, kQVNGridDivisionsColourValue));
    m_majorsWell->setColor(drawingsetup::colour(settings, kQVNGridMajorsColourValue));
    const int selector = intValueForKey(settings, kQVNGridThemeSelectorValue) == 0 ? 0 : 1;
    m_themeSelector->button(selector)->setChecked(true);
    const int type = intValueForKey(settings, kQVNGridTypeValue);
    m_gridType->setCurrentIndex(type == 1 ? 1 : 0);
    m_isoVerticals->setChecked(boolValueForKey(settings, kQVNGridIsoShowVerticalsFlagValue));
    m_isoVerticals->setVisible(type == 1);
}

void QVNDrawingGridController::validateControls()
{
    const DrawingSetupModel::ControlStates states = m_model.controlStates();
    m_themeWell->setEnabled(states.themeWell);
    for (platform::ColourWell* well : {m_spanWell, m_divisionsWell, m_majorsWell})
        well->setEnabled(states.separateWells);
    for (QWidget* control : std::initializer_list<QWidget*>{m_span, m_divisions, m_majors, m_rulerInterval,
                                                            m_gridPrinted, m_gridVisible})
        control->setEnabled(states.gridControls);
    for (QAbstractButton* button : m_themeSelector->buttons())
        button->setEnabled(states.gridControls);
}
