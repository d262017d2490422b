#pragma once

// A numeric field that, while edited, shows a small popover under it with a slider (and
// optionally a stepper) on its value, and whose value the scroll wheel changes. Popovers
// show only while the user default "ZQAugmentedTextFieldPopoversEnabled" is on (absent is
// off); the wheel works either way. At most one field's popover is the current one.
//
// The value is a double that is never NaN or infinite: text that does not read as a finite
// number leaves it (and the slider) where it was. Changes the user makes with the slider,
// stepper or wheel send the field's action.

#include "platform/ui/NumberFormatter.h"
#include "platform/ui/Popover.h"
#include "widgets/controls/ControlAction.h"

#include <QLineEdit>
#include <QPointer>
#include <memory>

class ZQAugmentationSliderController;

class ZQAugmentedTextField : public QLineEdit, public ControlAction {
    Q_OBJECT

public:
    static inline const QString kPopoversEnabledKey = QStringLiteral("ZQAugmentedTextFieldPopoversEnabled");
    static constexpr int kStepperOption = 2; // makePopover: add a stepper
    static constexpr QSize kPopoverContentSize{130, 23};

    explicit ZQAugmentedTextField(QWidget* parent = nullptr);
    ~ZQAugmentedTextField() override;

    static bool augmentedTextFieldPopoversEnabled();
    static void setAugmentedTextFieldPopoversEnabled(bool enabled);
    // The popover shown last, until it closes.
    static platform::Popover* currentAugmentedPopover();

    // A field laid out in a window: makes its own popover unless one was given, notes the
    // slider's range and takes the formatter's limits.
    void awakeFromInterface();
    // Makes and keeps a popover of its own (options: kStepperOption).
    void makePopover(int options);
    // A popover made elsewhere, not owned.
    void setSliderPopover(platform::Popover* popover);
    platform::Popover* sliderPopover() const { return m_popover; }
    ZQAugmentationSliderController* sliderController() const;

    std::shared_ptr<platform::NumberFormatter> formatter() const { return m_formatter; }
    void setFormatter(std::shared_ptr<platform::NumberFormatter> formatter);
    void setLimitsFromFormatter(const platform::NumberFormatter& formatter);

    double sliderMinimumValue() const;
    void setSliderMinimumValue(double minimum);
    double sliderMaximumValue() const;
    void setSliderMaximumValue(double maximum);

    platform::Popover::Edge preferredEdge() const { return m_preferredEdge; }
    void setPreferredEdge(platform::Popover::Edge edge) { m_preferredEdge = edge; }

    // The number the text reads as, or the last one that read.
    double doubleValue() const;
    void setDoubleValue(double value);
    // Numbers as setDoubleValue; anything else (a multiple-values marker) as its text.
    void setObjectValue(const QVariant& value);

    void showPopover() { showPopoverAndFocus(true); }
    void showPopoverAndFocus(bool focus);
    // The slider or stepper moved to `value`.
    void sliderOrStepperAction(double value);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    std::optional<double> numberInText(const QString& text) const;
    QString textForNumber(double value) const;
    void textDidChange(const QString& text);
    void closePopoverUnlessOpening();
    void popoverDidClose();

    QPointer<platform::Popover> m_popover;
    platform::Popover::Edge m_preferredEdge = platform::Popover::MinYEdge;
    bool m_openingPopover = false;
    double m_min = 0;
    double m_max = 1;
    bool m_ownsPopover = false;
    double m_value = 0;
    std::shared_ptr<platform::NumberFormatter> m_formatter;
};
