#pragma once

// The template chooser's window, laid out in code: on the left the category outline under its
// "Template Categories" title with the import button below; on the right the name filter above
// the grid of templates; along the bottom the start-up check box and the Blank Document, Cancel
// and Choose buttons. The controller wires the controls to its actions.

#include <QPointer>

class QAbstractButton;
class QCheckBox;
class QLineEdit;
class QPushButton;
class QTreeView;
class QWidget;
class ZQImageBrowserView;
class ZQSingleTitleTableHeaderView;

struct TemplatePickerWindow {
    // Builds the window and its controls; the window owns them all.
    static TemplatePickerWindow build();

    QPointer<QWidget> window;
    QPointer<QTreeView> folderTable;
    QPointer<ZQSingleTitleTableHeaderView> tableHeader;
    QPointer<QPushButton> importButton;
    QPointer<QLineEdit> searchField;
    QPointer<ZQImageBrowserView> pickerView;
    QPointer<QCheckBox> showAtStartupCheckbox;
    QPointer<QPushButton> blankDocumentButton;
    QPointer<QPushButton> cancelButton;
    QPointer<QPushButton> okButton;
};
