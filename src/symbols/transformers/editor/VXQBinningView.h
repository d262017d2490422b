#pragma once

// The panel of the transformer sheet that holds the bins editor's controls: a plain
// background, sunken like a group box, so the bins read as one part of the sheet.

#include <QFrame>

class VXQBinningView : public QFrame {
    Q_OBJECT

public:
    explicit VXQBinningView(QWidget* parent = nullptr) : QFrame(parent)
    {
        setFrameShape(QFrame::StyledPanel);
        setFrameShadow(QFrame::Sunken);
    }
};
