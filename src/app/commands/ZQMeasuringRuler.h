#pragma once

// What a map document needs of its measuring ruler: the on-screen overlay a user stretches
// across the map to read a distance. A later library provides the class ("VXQRuler"); the
// document makes it by name.

#include <QRectF>
#include <QtGlobal>
#include <memory>

class QObject;
class VXDrawingView;

class ZQMeasuringRuler {
public:
    virtual ~ZQMeasuringRuler() = default;

    // The area the ruler covers, drawing coordinates.
    virtual QRectF bounds() const = 0;
    // Answers distanceLabelForLength(double) with the text the ruler shows; not owned.
    virtual void setDelegate(QObject* delegate) = 0;
    // Tick spacing (points) and how often a major and a middle tick come.
    virtual void setMarksDistanceStepUpRatioStepDownRatio(double distance, qint64 stepUpRatio,
                                                          qint64 stepDownRatio) = 0;
    // Draws into the current graphics context of the view's paint, on screen only.
    virtual void drawInView(VXDrawingView* view) = 0;
};

using ZQMeasuringRulerPtr = std::shared_ptr<ZQMeasuringRuler>;
