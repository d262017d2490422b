#include "widgets/colour/ColourExtras.h"

#include "platform/ui/ColourPanel.h"

#include <QRandomGenerator>
#include <cmath>

double luminance(const QColor& colour)
{
    const QColor rgb = colour.toRgb();
    return 0.299 * rgb.redF() + 0.587 * rgb.greenF() + 0.114 * rgb.blueF();
}

QColor randomColor()
{
    QRandomGenerator* random = QRandomGenerator::global();
    return QColor::fromRgbF(float(random->generateDouble()), float(random->generateDouble()),
                            float(random->generateDouble()), 1.0f);
}

QString colourPanelColourDescription()
{
    const QColor colour = platform::ColourPanel::sharedColorPanel()->color().toRgb();
    const auto byte = [](float component) { return int(std::lround(component * 255)); };
    return QStringLiteral("r: %1, g: %2, b: %3, a: %4")
        .arg(byte(colour.redF()))
        .arg(byte(colour.greenF()))
        .arg(byte(colour.blueF()))
        .arg(byte(colour.alphaF()));
}
