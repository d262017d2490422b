#pragma once

// The shadow sub-pane of the stroke and fill panes: the offset as a direction (angle slider,
// 0 = straight up, clockwise) and a distance, the blur radius and the colour. An edit hands a
// changed copy of the shown shadow to the writer, so the component's own "shadow" key takes
// it (undoable, and its observers told); "VLTMShadowWillChangeNotification" and
// "VLTMShadowDidChangeNotification" bracket it, with the pane as sender.

#include "platform/vantrix/styles/VXShadow.h"

#include <QPointer>
#include <QWidget>
#include <functional>
#include <QSlider>
#include "platform/ui/ColourWell.h"


inline const QString kVLTMShadowWillChangeNotification = QStringLiteral("VLTMShadowWillChangeNotification");
inline const QString kVLTMShadowDidChangeNotification = QStringLiteral("VLTMShadowDidChangeNotification");

class VLTMStyleEditSub_NSShadow : public QWidget {
    Q_OBJECT

public:
    struct Polar {
        double angleInDegrees; // 0 ... 360
        double distance;
    };
    // y grows downwards on the page unless inverted.
    static QSizeF offsetForPolar(Polar polar, bool inverted);
    static Polar polarForOffset(QSizeF offset, bool inverted);

    explicit VLTMStyleEditSub_NSShadow(std::function<void(const VXShadowPtr&)> writer, QWidget* parent = nullptr);

    bool inverted() const { return m_inverted; }
    void setInverted(bool inverted) { m_inverted = inverted; }

    // Null shows the controls disabled, with the clear colour in the well.
    void showShadow(const VXShadowPtr& shadow);
    void setShadowControlsEnabled(bool enabled);

    QSlider* angleSlider() const { return m_angle; }
    QSlider* offsetSlider() const { return m_offset; }
    QSlider* blurSlider() const { return m_blur; }
    platform::ColourWell* colourWell() const { return m_well; }

    Q_INVOKABLE void colourAction(QObject* sender);

private:
    void write(const std::function<void(VXShadow&)>& change);
    void offsetAction();

    std::function<void(const VXShadowPtr&)> m_writer;
    VXShadowPtr m_shown;
    bool m_inverted = false;
    bool m_showing = false;
    QPointer<QSlider> m_angle;
    QPointer<QSlider> m_offset;
    QPointer<QSlider> m_blur;
    QPointer<platform::ColourWell> m_well;
};
