#pragma once

// The style the current tool creates objects with, shared by the palettes and the style
// editor. Setting a different style posts kStyleHistoryNewStyleNotification (sender the
// history, "style" the new style).

#include "platform/vantrix/styles/VXStyle.h"

inline const QString kStyleHistoryNewStyleNotification = QStringLiteral("kStyleHistoryNewStyleNotification");

class VXStyleHistory : public ZQObject {
    Q_OBJECT

public:
    static VXStyleHistory& defaultHistory();

    VXStylePtr currentStyle() const { return m_currentStyle; }
    void setCurrentStyle(const VXStylePtr& style);

private:
    VXStylePtr m_currentStyle;
};
