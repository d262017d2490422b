#include "widgets/colour/WebSafeColours.h"

const QList<QColor>& webSafeColours()
{
    static const QList<QColor> colours = [] {
        constexpr int levels[] = {0x00, 0x33, 0x66, 0x99, 0xCC, 0xFF};
        QList<QColor> list;
        for (int red : levels)
            for (int green : levels)
                for (int blue : levels)
                    list << QColor(red, green, blue);
        return list;
    }();
    return colours;
}
