#pragma once

// The media browser's window and its controls, laid out in code: on the left the folder
// outline under its "Image Sources" title with the add and remove buttons below; on the right
// the name filter and the all-files box above the thumbnail grid, a note on folders whose
// changes are not followed, the zoom slider and the progress indicator below it. The controller wires the controls to its actions.

#include <QPointer>

class QAbstractButton;
class QCheckBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QSlider;
class QTreeView;
class QWidget;
class ZQImageBrowserView;
class ZQSingleTitleTableHeaderView;

struct MediaBrowserWindow {
    // The zoom slider runs over 0...kZoomSteps for zoom values 0...1.
    static constexpr int kZoomSteps = 1000;

    // Builds the window and its controls; the window owns them all.
    static MediaBrowserWindow build();

    QPointer<QWidget> window;
    QPointer<QTreeView> folderTable;
    QPointer<ZQSingleTitleTableHeaderView> tableHeader;
    // The two segments: 0 adds a root folder, 1 removes the selected root. Each carries its
    // number in the property "segment".
    QPointer<QAbstractButton> addSegment;
    QPointer<QAbstractButton> removeSegment;
    QPointer<ZQImageBrowserView> imageBrowser;
    QPointer<QLineEdit> searchField;
    QPointer<QCheckBox> allFilesCheckbox;
    QPointer<QSlider> zoomSlider;
    QPointer<QProgressBar> progressIndicator;
    // Hidden until changes in some listed folders cannot be followed; then it says why.
    QPointer<QLabel> watchNote;
};
