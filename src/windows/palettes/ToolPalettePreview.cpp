#include "windows/palettes/ToolPalettePreview.h"

#include "style_editor/swatch/VXQStyleImageView.h"
#include "symbols/masters/VXQSymbolMaster.h"

#include <QLabel>

ToolPalettePreview::ToolPalettePreview(QWidget* parent)
    : QStackedWidget(parent)
    , m_styleView(new VXQStyleImageView(this))
    , m_symbolView(new QLabel(this))
{
    m_symbolView->setAlignment(Qt::AlignCenter);
    addWidget(m_styleView);
    addWidget(m_symbolView);
}

void ToolPalettePreview::showObject(const ZQObjectPtr& object)
{
    m_object = object;
    if (auto master = std::dynamic_pointer_cast<VXQSymbolMaster>(object)) {
        const QSize room = size().boundedTo(QSize(64, 64)) - QSize(8, 8);
        m_symbolView->setPixmap(QPixmap::fromImage(master->imageToFitSize(QSizeF(room.expandedTo(QSize(16, 16))))));
        m_styleView->setStyle(nullptr);
        setCurrentWidget(m_symbolView);
        return;
    }
    m_symbolView->clear();
    m_styleView->setStyle(std::dynamic_pointer_cast<VXStyle>(object));
    setCurrentWidget(m_styleView);
}
