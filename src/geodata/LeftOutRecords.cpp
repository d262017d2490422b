#include "geodata/LeftOutRecords.h"

#include <QCoreApplication>
#include <QStringList>

namespace geodata {

namespace {

// `one` when the count is 1, else `many` with the count.
QString counted(quint64 count, const char* one, const char* many)
{
    return count == 1 ? QCoreApplication::translate("LeftOutRecords", one)
                      : QCoreApplication::translate("LeftOutRecords", many).arg(count);
}

} // namespace

QString LeftOutRecords::description() const
{
    QStringList sentences;
    if (outsideDrawing > 0) {
        sentences << counted(outsideDrawing, QT_TRANSLATE_NOOP("LeftOutRecords", "One record lies wholly outside the drawing."),
                             QT_TRANSLATE_NOOP("LeftOutRecords", "%1 records lie wholly outside the drawing."));
        if (placementWasKept)
            sentences << QCoreApplication::translate("LeftOutRecords", "Shapefiles imported after the first one are "
                                                                       "placed to line up with it.");
    }
    if (damaged > 0)
        sentences << damage;
    if (notMade > 0)
        sentences << counted(notMade, QT_TRANSLATE_NOOP("LeftOutRecords", "One record could not be made into a map object."),
                             QT_TRANSLATE_NOOP("LeftOutRecords", "%1 records could not be made into map objects."));
    if (withoutShape > 0)
        sentences << counted(withoutShape, QT_TRANSLATE_NOOP("LeftOutRecords", "One record holds no point, line or area."),
                             QT_TRANSLATE_NOOP("LeftOutRecords", "%1 records hold no point, line or area."));
    if (pointsLeftOut > 0)
        sentences << counted(pointsLeftOut,
                             QT_TRANSLATE_NOOP("LeftOutRecords", "One point whose coordinates are no finite numbers of a "
                                                                 "usable size was left out of its shape."),
                             QT_TRANSLATE_NOOP("LeftOutRecords", "%1 points whose coordinates are no finite numbers of "
                                                                 "a usable size were left out of their shapes."));
    if (!attributesProblem.isEmpty())
        sentences << attributesProblem;
    return sentences.join(u' ');
}

} // namespace geodata
