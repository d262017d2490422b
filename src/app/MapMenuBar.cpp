#include "app/MapMenuBar.h"

#include <QMenuBar>

QMenuBar* MapMenuBar::make(QWidget* window)
{
    return new QMenuBar(window);
}
