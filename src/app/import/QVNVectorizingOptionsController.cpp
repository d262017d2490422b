#include "app/import/QVNVectorizingOptionsController.h"

#include "app/import/QVNVectorizingPreviewView.h"
#include "platform/foundation/ZQLog.h"
#include "platform/ui/Sheet.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QSlider>
#include <QVBoxLayout>
#include <QtConcurrent/QtConcurrentRun>

namespace {

constexpr int kPreviewSide = 240;
constexpr int kColourMode = 0;
constexpr int kGrayscaleMode = 1;

bool answers(const QObject* object, const char* signature)
{
    return object && object->metaObject()->indexOfMethod(QMetaObject::normalizedSignature(signature)) >= 0;
}

QSlider* makeSlider(int minimum, int maximum)
{
    auto* slider = new QSlider(Qt::Horizontal);
    slider->setRange(minimum, maximum);
    return slider;
}

QImage previewImageOf(const QImage& image)
{
    const int extent = QVNVectorizingOptionsController::kMaximumPreviewExtent;
    if (image.isNull() || (image.width() <= extent && image.height() <= extent))
        return image;
    return image.scaled(extent, extent, Qt::KeepAspectRatio, Qt::SmoothTransformation);
}

} // namespace

QVNVectorizingOptionsController::QVNVectorizingOptionsController()
{
    initWithWindowNibName(QStringLiteral("QVNVectorizingOptionsController"));
}

QVNVectorizingOptionsController::~QVNVectorizingOptionsController() = default;

QVNVectorizingOptionsController* QVNVectorizingOptionsController::sharedVectorizingController()
{
    // Made on first use and kept for the life of the process.
    static QVNVectorizingOptionsController* const shared = new QVNVectorizingOptionsController;
    return shared;
}

// --- The sheet ----------------------------------------------------------------------------------

QWidget* QVNVectorizingOptionsController::loadWindow()
{
    auto* dialog = new QDialog;
    dialog->setWindowTitle(tr("Vectorize Image"));

    m_colorGrayscaleRadioMatrix = new QButtonGroup(dialog);
    auto* colour = new QRadioButton(tr("Colour"));
    auto* grey = new QRadioButton(tr("Grayscale"));
    m_colorGrayscaleRadioMatrix->addButton(colour, kColourMode);
    m_colorGrayscaleRadioMatrix->addButton(grey, kGrayscaleMode);
    connect(m_colorGrayscaleRadioMatrix, &QButtonGroup::idClicked, this, [this] { colorGrayscaleAction(m_colorGrayscaleRadioMatrix); });

    m_levelsSlider = makeSlider(1, 6);
    m_turdsizeSlider = makeSlider(0, 100);
    m_alphaMaxSlider = makeSlider(0, 134);
    m_turnPolicySlider = makeSlider(0, 6);
    m_optimizationSlider = makeSlider(0, 100);
    m_levelsLabel = new QLabel;
    m_turdsizeLabel = new QLabel;
    m_alphaMaxLabel = new QLabel;
    m_turnPolicyLabel = new QLabel;
    m_optimizationLabel = new QLabel;
    m_optimizeCurvesCheckbox = new QCheckBox(tr("Optimize curves"));
    const std::pair<QSlider*, void (QVNVectorizingOptionsController::*)(QObject*)> sliderActions[] = {
        {m_levelsSlider, &QVNVectorizingOptionsController::levelsAction},
        {m_turdsizeSlider, &QVNVectorizingOptionsController::turdSizeAction},
        {m_alphaMaxSlider, &QVNVectorizingOptionsController::alphaMaxAction},
        {m_turnPolicySlider, &QVNVectorizingOptionsController::turnPolicyAction},
        {m_optimizationSlider, &QVNVectorizingOptionsController::optimizeAmountAction}};
    for (const auto& [slider, action] : sliderActions)
        connect(slider, &QSlider::valueChanged, this, [this, slider = slider, action = action] { (this->*action)(slider); });
    connect(m_optimizeCurvesCheckbox, &QCheckBox::toggled, this, [this] { optimizeCurvesAction(m_optimizeCurvesCheckbox); });

    auto* modes = new QHBoxLayout;
    modes->addWidget(colour);
    modes->addWidget(grey);
    auto* form = new QFormLayout;
    form->addRow(tr("Mode:"), modes);
    const auto addSliderRow = [form](const QString& title, QSlider* slider, QLabel* label) {
        auto* row = new QHBoxLayout;
        row->addWidget(slider);
        label->setMinimumWidth(40);
        row->addWidget(label);
        form->addRow(title, row);
    };
    addSliderRow(tr("Levels:"), m_levelsSlider, m_levelsLabel);
    addSliderRow(tr("Ignore specks up to:"), m_turdsizeSlider, m_turdsizeLabel);
    addSliderRow(tr("Corner threshold:"), m_alphaMaxSlider, m_alphaMaxLabel);
    addSliderRow(tr("Turn policy:"), m_turnPolicySlider, m_turnPolicyLabel);
    form->addRow(QString(), m_optimizeCurvesCheckbox);
    addSliderRow(tr("Optimization:"), m_optimizationSlider, m_optimizationLabel);

    m_originalImageView = new QVNVectorizingPreviewView;
    m_vectorImageView = new QVNVectorizingPreviewView;
    for (QVNVectorizingPreviewView* view : {m_originalImageView.data(), m_vectorImageView.data()})
        view->setFixedSize(kPreviewSide, kPreviewSide);
    m_scaleImagesSlider = makeSlider(1, int(QVNVectorizingPreviewView::kMaximumImageScale * QVNVectorizingPreviewView::kScaleSliderUnitsPerScale));
    m_scaleImagesSlider->setValue(QVNVectorizingPreviewView::kScaleSliderUnitsPerScale);
    m_originalImageView->setLinkedView(m_vectorImageView);
    m_vectorImageView->setLinkedView(m_originalImageView);
    m_originalImageView->setScaleSlider(m_scaleImagesSlider);
    m_vectorImageView->setScaleSlider(m_scaleImagesSlider);
    connect(m_scaleImagesSlider, &QSlider::valueChanged, m_originalImageView, [this] { m_originalImageView->scaleAction(m_scaleImagesSlider); });
    auto* previews = new QHBoxLayout;
    previews->addWidget(m_originalImageView);
    previews->addWidget(m_vectorImageView);

    m_cancelButton = new QPushButton(tr("Cancel"));
    m_vectorizeButton = new QPushButton(tr("Vectorize"));
    m_vectorizeButton->setDefault(true);
    connect(m_cancelButton, &QPushButton::clicked, this, [this] { cancelAction(m_cancelButton); });
    connect(m_vectorizeButton, &QPushButton::clicked, this, [this] { vectorizeAction(m_vectorizeButton); });
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_cancelButton);
    buttons->addWidget(m_vectorizeButton);

    auto* layout = new QVBoxLayout(dialog);
    layout->addLayout(previews);
    layout->addWidget(m_scaleImagesSlider);
    layout->addLayout(form);
    layout->addLayout(buttons);
    return dialog;
}

void QVNVectorizingOptionsController::windowDidLoad()
{
    setUIFromOptions();
}

QDialog* QVNVectorizingOptionsController::sheet()
{
    return qobject_cast<QDialog*>(window());
}

void QVNVectorizingOptionsController::runModalVectorizingDialogForWindowVectorizingDelegate(QWidget* window,
                                                                                             QObject* delegate)
{
    m_delegate = delegate;
    m_sourceImage = sourceImage();
    m_previewImage = previewImageOf(m_sourceImage);
    m_options = platform::defaultTracingParameters();
    m_options.insert(vectorizingOptions());
    if (isWindowLoaded())
        setUIFromOptions();
    platform::Sheet::beginSheetModalForWindowCompletionHandler(sheet(), window, [this](int code) { sheetDidEnd(code); });
}

void QVNVectorizingOptionsController::vectorizeAction(QObject*)
{
    platform::Sheet::endSheetReturnCode(sheet(), platform::Sheet::kDefaultReturn);
}

void QVNVectorizingOptionsController::cancelAction(QObject*)
{
    stopModalVectorizingDialog();
}

void QVNVectorizingOptionsController::stopModalVectorizingDialog()
{
    platform::Sheet::endSheetReturnCode(sheet(), platform::Sheet::kCancelReturn);
}

void QVNVectorizingOptionsController::sheetDidEnd(int returnCode)
{
    m_previewIsStale = false; // a closed sheet needs no newer preview
    if (returnCode == platform::Sheet::kDefaultReturn && answers(m_delegate, "vectorizeWithOptions(QVariantMap)"))
        QMetaObject::invokeMethod(m_delegate, "vectorizeWithOptions", Qt::DirectConnection, Q_ARG(QVariantMap, m_options));
}

QImage QVNVectorizingOptionsController::sourceImage() const
{
    QImage image;
    if (answers(m_delegate, "vectorizingSourceImage()"))
        QMetaObject::invokeMethod(m_delegate, "vectorizingSourceImage", Qt::DirectConnection, Q_RETURN_ARG(QImage, image));
    return image;
}

QVariantMap QVNVectorizingOptionsController::vectorizingOptions() const
{
    QVariantMap options;
    if (answers(m_delegate, "vectorizingOptions()"))
        QMetaObject::invokeMethod(m_delegate, "vectorizingOptions", Qt::DirectConnection, Q_RETURN_ARG(QVariantMap, options));
    return options;
}

// --- Controls -------------------------------------------------------------------------------------

QList<QVNVectorizingOptionsController::SliderParameter> QVNVectorizingOptionsController::sliderParameters() const
{
    return {{kVXTracingParam_levels, m_levelsSlider, m_levelsLabel, 1},
            {kVXTracingParam_turdsize, m_turdsizeSlider, m_turdsizeLabel, 1},
            {kVXTracingParam_alphamax, m_alphaMaxSlider, m_alphaMaxLabel, 100},
            {kVXTracingParam_turnpolicy, m_turnPolicySlider, m_turnPolicyLabel, 1},
            {kVXTracingParam_opttolerance, m_optimizationSlider, m_optimizationLabel, 100}};
}

QString QVNVectorizingOptionsController::labelTextForKey(const QString& key, double value)
{
    if (key == kVXTracingParam_levels)
        return QString::number(platform::tracingLevelCount(int(value)));
    if (key == kVXTracingParam_alphamax || key == kVXTracingParam_opttolerance)
        return QString::number(value, 'f', 2);
    return QString::number(int(value));
}

void QVNVectorizingOptionsController::setUIFromOptions()
{
    if (!isWindowLoaded())
        return;
    for (const SliderParameter& parameter : sliderParameters()) {
        const double value = m_options.value(parameter.key).toDouble();
        const QSignalBlocker blocker(parameter.slider);
        parameter.slider->setValue(qRound(value * parameter.divisor));
        parameter.label->setText(labelTextForKey(parameter.key, value));
    }
    {
        const QSignalBlocker blocker(m_optimizeCurvesCheckbox);
        m_optimizeCurvesCheckbox->setChecked(m_options.value(kVXTracingParam_opticurve).toBool());
    }
    const int mode = m_options.value(kVXTracingParam_colourmode).toInt() != 0 ? kGrayscaleMode : kColourMode;
    m_colorGrayscaleRadioMatrix->button(mode)->setChecked(true);
    m_originalImageView->setSourceImage(m_previewImage);
    updateVectorImage();
}

void QVNVectorizingOptionsController::takeSliderValueForKey(const QString& key)
{
    for (const SliderParameter& parameter : sliderParameters()) {
        if (parameter.key != key)
            continue;
        const double value = parameter.slider->value() / parameter.divisor;
        m_options.insert(key, parameter.divisor == 1 ? QVariant(int(value)) : QVariant(value));
        parameter.label->setText(labelTextForKey(key, value));
    }
    updateVectorImage();
}

void QVNVectorizingOptionsController::colorGrayscaleAction(QObject*)
{
    m_options.insert(kVXTracingParam_colourmode, m_colorGrayscaleRadioMatrix->checkedId());
    updateVectorImage();
}

void QVNVectorizingOptionsController::levelsAction(QObject*)
{
    takeSliderValueForKey(kVXTracingParam_levels);
}

void QVNVectorizingOptionsController::turdSizeAction(QObject*)
{
    takeSliderValueForKey(kVXTracingParam_turdsize);
}

void QVNVectorizingOptionsController::alphaMaxAction(QObject*)
{
    takeSliderValueForKey(kVXTracingParam_alphamax);
}

void QVNVectorizingOptionsController::turnPolicyAction(QObject*)
{
    takeSliderValueForKey(kVXTracingParam_turnpolicy);
}

void QVNVectorizingOptionsController::optimizeCurvesAction(QObject*)
{
    m_options.insert(kVXTracingParam_opticurve, m_optimizeCurvesCheckbox->isChecked());
    updateVectorImage();
}

void QVNVectorizingOptionsController::optimizeAmountAction(QObject*)
{
    takeSliderValueForKey(kVXTracingParam_opttolerance);
}

// --- The traced preview -----------------------------------------------------------------------------

void QVNVectorizingOptionsController::updateVectorImage()
{
    if (!isWindowLoaded())
        return;
    if (m_previewImage.isNull()) {
        m_vectorImageView->setVectors({});
        return;
    }
    if (isTracing()) {
        m_previewIsStale = true;
        return;
    }
    startTrace();
}

void QVNVectorizingOptionsController::startTrace()
{
    m_previewIsStale = false;
    auto* watcher = new QFutureWatcher<QList<platform::TracedLevel>>(sheet());
    connect(watcher, &QFutureWatcherBase::finished, this, [this] { traceDidFinish(); });
    watcher->setFuture(QtConcurrent::run([image = m_previewImage, options = m_options] {
        return tracedLevelsWithParameters(image, options);
    }));
    m_traceWatcher = watcher;
}

void QVNVectorizingOptionsController::traceDidFinish()
{
    QFutureWatcher<QList<platform::TracedLevel>>* watcher = std::exchange(m_traceWatcher, nullptr);
    if (!watcher)
        return;
    watcher->disconnect(this);
    watcher->deleteLater();
    if (m_previewIsStale) {
        startTrace();
        return;
    }
    m_vectorImageView->setVectors(watcher->result());
}

void QVNVectorizingOptionsController::waitForPreview()
{
    while (m_traceWatcher) {
        m_traceWatcher->waitForFinished();
        traceDidFinish();
    }
}
