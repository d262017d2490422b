#include "widgets/paint/ApplicationColours.h"

#include "platform/graphics/ColourUtilities.h"
#include "platform/graphics/FontUtilities.h"

#include <QGuiApplication>
#include <QPalette>

using platform::Gradient;
using platform::rgbGrey;

QColor VLTMWindowBackgroundColour() { return QColor::fromRgbF(0.9298f, 0.934f, 0.9298f); }
QColor VLTMDarkBackgroundColour() { return rgbGrey(0.8); }
QColor VLTMLightBackgroundColour() { return QColor::fromRgbF(0.87f, 0.87f, 0.87f); }
QColor VLTMMediumBackgroundColour() { return QColor::fromRgbF(0.83f, 0.84f, 0.83f); }
QColor VLTMUnderpageBackgroundColour() { return QGuiApplication::palette().color(QPalette::Active, QPalette::Mid); }
QColor VLTMControlFrameColour() { return rgbGrey(0.35); }
QColor VLTMLightControlFrameColour() { return rgbGrey(0.5); }
QColor VLTMTitleTextColour() { return rgbGrey(0.1); }
QColor VLTMUnselectedTitleTextColour() { return rgbGrey(0.2); }

const Gradient& VLTMSelectedControlGradient()
{
    static const Gradient gradient(VLTMWindowBackgroundColour(), VLTMLightBackgroundColour());
    return gradient;
}

const Gradient& VLTMUnselectedControlGradient()
{
    static const Gradient gradient(rgbGrey(0.75), VLTMDarkBackgroundColour());
    return gradient;
}

const Gradient& VLTMHighlightedControlGradient()
{
    static const Gradient gradient(rgbGrey(0.5), rgbGrey(0.4));
    return gradient;
}

const Gradient& VLTMTitleBarGradient() { return VLTMUnselectedControlGradient(); }

const Gradient& VLTMSelectedButtonGradient()
{
    static const Gradient gradient(VLTMLightBackgroundColour(), rgbGrey(0.75));
    return gradient;
}

const Gradient& VLTMSelectedTableRowGradient()
{
    static const Gradient gradient(platform::shadowWithLevel(VLTMMediumBackgroundColour(), 0.05),
                                   VLTMMediumBackgroundColour());
    return gradient;
}

QFont VLTMSmallTitleFont() { return platform::boldSystemFontOfSize(11); }
