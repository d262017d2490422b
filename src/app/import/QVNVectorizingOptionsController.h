#pragma once

// The tracing sheet: the seven tracing parameters, the source image and a live traced
// preview. Its delegate (a document) may answer vectorizingSourceImage, vectorizingOptions
// and vectorizeWithOptions(QVariantMap); each is asked only when answered. The options are
// a fresh copy of the delegate's on each run and reach it only when the sheet ends with 1.
// The preview is traced off the main thread from a reduced copy of the image; a result that
// a later change has overtaken is dropped.

#include "app/import/QVNVectorizingPreviewView.h"
#include "platform/ui/WindowController.h"
#include "platform/vantrix/tracing/ImageTracing.h"

#include <QFutureWatcher>
#include <QImage>
#include <QPointer>
#include <QVariantMap>

class QButtonGroup;
class QCheckBox;
class QDialog;
class QLabel;
class QPushButton;
class QSlider;

class QVNVectorizingOptionsController : public platform::WindowController {
    Q_OBJECT

public:
    // The preview traces an image at most this many pixels on its longer side.
    static constexpr int kMaximumPreviewExtent = 600;

    QVNVectorizingOptionsController();
    ~QVNVectorizingOptionsController() override;

    static QVNVectorizingOptionsController* sharedVectorizingController();

    QObject* delegate() const { return m_delegate; }
    QVariantMap options() const { return m_options; }
    QImage image() const { return m_sourceImage; }

    // Takes the image and options from the delegate and opens the sheet on `window`.
    void runModalVectorizingDialogForWindowVectorizingDelegate(QWidget* window, QObject* delegate);
    Q_INVOKABLE void vectorizeAction(QObject* sender);   // ends with 1
    Q_INVOKABLE void cancelAction(QObject* sender);      // ends with 0
    void stopModalVectorizingDialog();                  // ends with 0

    // Asked of the delegate; null (empty) when it does not answer.
    QImage sourceImage() const;
    QVariantMap vectorizingOptions() const;

    void setUIFromOptions();
    // Traces the preview again with the current options.
    void updateVectorImage();
    // Whether a preview trace is under way.
    bool isTracing() const { return m_traceWatcher != nullptr; }
    // Blocks until the preview shows the current options (when the result is wanted at once).
    void waitForPreview();

    Q_INVOKABLE void colorGrayscaleAction(QObject* sender);
    Q_INVOKABLE void levelsAction(QObject* sender);
    Q_INVOKABLE void turdSizeAction(QObject* sender);
    Q_INVOKABLE void alphaMaxAction(QObject* sender);
    Q_INVOKABLE void turnPolicyAction(QObject* sender);
    Q_INVOKABLE void optimizeCurvesAction(QObject* sender);
    Q_INVOKABLE void optimizeAmountAction(QObject* sender);

    // The sheet's parts, for the tests and the window's own wiring.
    QVNVectorizingPreviewView* originalImageView() const { return m_originalImageView; }
    QVNVectorizingPreviewView* vectorImageView() const { return m_vectorImageView; }
    QSlider* scaleImagesSlider() const { return m_scaleImagesSlider; }
    QSlider* levelsSlider() const { return m_levelsSlider; }
    QLabel* levelsLabel() const { return m_levelsLabel; }
    QSlider* turdsizeSlider() const { return m_turdsizeSlider; }
    QSlider* alphaMaxSlider() const { return m_alphaMaxSlider; }
    QLabel* alphaMaxLabel() const { return m_alphaMaxLabel; }
    QCheckBox* optimizeCurvesCheckbox() const { return m_optimizeCurvesCheckbox; }
    QButtonGroup* colorGrayscaleRadioMatrix() const { return m_colorGrayscaleRadioMatrix; }

protected:
    QWidget* loadWindow() override;
    void windowDidLoad() override;

private:
    // A slider that stands for a parameter: its value over `divisor`, shown in its label.
    struct SliderParameter {
        QString key;
        QSlider* slider = nullptr;
        QLabel* label = nullptr;
        double divisor = 1;
    };
    QList<SliderParameter> sliderParameters() const;
    // Stores the slider's value under its key, shows it and traces the preview again.
    void takeSliderValueForKey(const QString& key);
    static QString labelTextForKey(const QString& key, double value);
    QDialog* sheet();
    void sheetDidEnd(int returnCode);
    void startTrace();
    void traceDidFinish();

    QPointer<QVNVectorizingPreviewView> m_originalImageView;
    QPointer<QVNVectorizingPreviewView> m_vectorImageView;
    QPushButton* m_vectorizeButton = nullptr;
    QPushButton* m_cancelButton = nullptr;
    QButtonGroup* m_colorGrayscaleRadioMatrix = nullptr;
    QSlider* m_scaleImagesSlider = nullptr;
    QSlider* m_levelsSlider = nullptr;
    QLabel* m_levelsLabel = nullptr;
    QSlider* m_turdsizeSlider = nullptr;
    QLabel* m_turdsizeLabel = nullptr;
    QSlider* m_alphaMaxSlider = nullptr;
    QLabel* m_alphaMaxLabel = nullptr;
    QSlider* m_turnPolicySlider = nullptr;
    QLabel* m_turnPolicyLabel = nullptr;
    QCheckBox* m_optimizeCurvesCheckbox = nullptr;
    QSlider* m_optimizationSlider = nullptr;
    QLabel* m_optimizationLabel = nullptr;
    QPointer<QObject> m_delegate;
    QVariantMap m_options;
    QImage m_sourceImage;
    QImage m_previewImage;
    bool m_previewIsStale = false;
    QPointer<QFutureWatcher<QList<platform::TracedLevel>>> m_traceWatcher;
};
