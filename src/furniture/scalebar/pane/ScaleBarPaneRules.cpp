#include "furniture/scalebar/pane/ScaleBarPaneRules.h"

ScaleBarPaneEnabling scaleBarPaneEnabling(Qt::CheckState locked, Qt::CheckState titleEnabled,
                                          Qt::CheckState primaryBarEnabled, Qt::CheckState secondaryBarEnabled)
{
    if (locked == Qt::Checked)
        return {};
    return {true, titleEnabled == Qt::Checked, primaryBarEnabled == Qt::Checked, secondaryBarEnabled == Qt::Checked};
}
