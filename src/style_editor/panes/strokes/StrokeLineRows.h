#pragma once

// Rows that strokes and hatching share: cap and join segments (butt, round, square; miter,
// round, bevel, as the components store them) and the clipping menu.

#include "platform/vantrix/styles/VXClipping.h"
#include "style_editor/panes/table/StylePaneRow.h"

#include <QCoreApplication>

namespace strokerows {

inline StylePaneRow capRow(const QString& keyPath, const QString& label = QCoreApplication::translate("StylePanes", "Cap"))
{
    return StylePaneRow::choice(StylePaneRow::Control::Segments, keyPath, label,
                                {{QCoreApplication::translate("StylePanes", "Butt"), 0},
                                 {QCoreApplication::translate("StylePanes", "Round"), 1},
                                 {QCoreApplication::translate("StylePanes", "Square"), 2}});
}

inline StylePaneRow joinRow(const QString& keyPath)
{
    return StylePaneRow::choice(StylePaneRow::Control::Segments, keyPath,
                                QCoreApplication::translate("StylePanes", "Join"),
                                {{QCoreApplication::translate("StylePanes", "Miter"), 0},
                                 {QCoreApplication::translate("StylePanes", "Round"), 1},
                                 {QCoreApplication::translate("StylePanes", "Bevel"), 2}});
}

inline StylePaneRow clippingRow(const QString& keyPath)
{
    return StylePaneRow::choice(StylePaneRow::Control::PopUp, keyPath,
                                QCoreApplication::translate("StylePanes", "Clipping"),
                                {{QCoreApplication::translate("StylePanes", "None"), kVXNoClipping},
                                 {QCoreApplication::translate("StylePanes", "Outside Path"), kVXClipOutsidePath},
                                 {QCoreApplication::translate("StylePanes", "Inside Path"), kVXClipInsidePath}});
}

} // namespace strokerows
