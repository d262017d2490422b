#pragma once

// Shows one styled string as large as it fits between a minimum and a maximum font size,
// centred on white, with an optional frame; without a string it shows a placeholder at 18
// points. The size is found by bisection against the whole view, stopping once the text fills
// the view less a margin (10 points at the sides, 8 at top and bottom).

#include "platform/graphics/AttributedString.h"

#include <QWidget>
#include <optional>

class ZQTextPreviewView : public QWidget {
    Q_OBJECT

public:
    static constexpr double kPlaceholderSize = 18.0;
    // The bisection ends when its bounds are closer than this or after this many trials.
    static constexpr double kSizeTolerance = 0.25;
    static constexpr int kMaximumTrials = 16;

    explicit ZQTextPreviewView(QWidget* parent = nullptr);

    const std::optional<platform::AttributedString>& string() const { return m_string; }
    void setString(const std::optional<platform::AttributedString>& string);
    // Both given: the string with those attributes; otherwise no string.
    void setWithStringAttributes(const QString& string, const platform::TextAttributes& attributes);
    const std::optional<platform::AttributedString>& placeholderString() const { return m_placeholderString; }
    void setPlaceholderString(const std::optional<platform::AttributedString>& placeholder);
    bool sizeToFit() const { return m_sizeToFit; }
    void setSizeToFit(bool fit) { m_sizeToFit = fit; }
    bool bordered() const { return m_bordered; }
    void setBordered(bool bordered);
    double minimumFontSize() const { return m_minimumFontSize; }
    void setMinimumFontSize(double size) { m_minimumFontSize = size; }
    double maximumFontSize() const { return m_maximumFontSize; }
    void setMaximumFontSize(double size) { m_maximumFontSize = size; }

    // The font size the string is drawn at in `rect`; raises when max < min.
    static double fittedFontSize(const platform::AttributedString& string, const QRectF& rect, double min, double max);
    static void drawStringInRectMinSizeMaxSize(QPainter& painter, const platform::AttributedString& string,
                                               const QRectF& rect, double min, double max);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    bool m_sizeToFit = true;
    bool m_bordered = false;
    std::optional<platform::AttributedString> m_string;
    std::optional<platform::AttributedString> m_placeholderString;
    double m_minimumFontSize = 10.0;
    double m_maximumFontSize = 48.0;
};
