#include "style_editor/panes/VLTMStyleComponentPlaceholder.h"

#include <QLabel>

QWidget* VLTMStyleComponentPlaceholder::makeControls()
{
    auto* label = new QLabel(tr("This component has no settings to edit here."));
    label->setWordWrap(true);
    label->setEnabled(false);
    return label;
}
