#pragma once

// The tool palette's preview: a style's swatch, or the picture of a symbol master, or
// nothing. Styles dropped on the swatch reach the swatch's target.

#include "platform/foundation/ZQObject.h"

#include <QStackedWidget>

class QLabel;
class VXQStyleImageView;

class ToolPalettePreview : public QStackedWidget {
    Q_OBJECT

public:
    explicit ToolPalettePreview(QWidget* parent = nullptr);

    void showObject(const ZQObjectPtr& object);
    ZQObjectPtr shownObject() const { return m_object; }
    VXQStyleImageView* styleView() const { return m_styleView; }

private:
    VXQStyleImageView* m_styleView;
    QLabel* m_symbolView;
    ZQObjectPtr m_object;
};
