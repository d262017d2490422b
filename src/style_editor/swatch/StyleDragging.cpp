#include "style_editor/swatch/StyleDragging.h"

#include "library/items/LibraryObjects.h"
#include "platform/foundation/ZQAssert.h"
#include "platform/ui/Pasteboard.h"

#include <QCoreApplication>
#include <QDrag>
#include <QMimeData>
#include <QMouseEvent>
#include <QPixmap>
#include <QWidget>

namespace StyleDragging {

namespace {

QObject* dragSourceFor(QWidget* view, QObject* source)
{
    if (source)
        return source;
    if (dynamic_cast<StyleDraggingSource*>(view))
        return view;
    return QCoreApplication::instance();
}

} // namespace

QDrag* makeDragOfStyleOrSymbol(QWidget* view, const ZQObjectPtr& object, const QMouseEvent*, QObject* source)
{
    if (!ZQ_EXPECT(object, QStringLiteral("can't drag a nil style or symbol")))
        return nullptr;
    const std::shared_ptr<VXQLibraryObjectProtocol> libraryObject = LibraryObjects::libraryObjectFor(object);
    if (!libraryObject)
        return nullptr;
    auto* data = new QMimeData;
    platform::Pasteboard pasteboard(data);
    libraryObject->copyToPasteboard(pasteboard);
    auto* drag = new QDrag(dragSourceFor(view, source));
    drag->setMimeData(data);
    const QImage image = libraryObject->image();
    if (!image.isNull()) {
        QPixmap pixmap = QPixmap::fromImage(image);
        drag->setPixmap(pixmap);
        const QSizeF points = pixmap.deviceIndependentSize();
        drag->setHotSpot(QPoint(qRound(points.width() / 2), qRound(points.height() / 2)));
    }
    return drag;
}

Qt::DropAction dragStyleOrSymbolEventSourceSlideBack(QWidget* view, const ZQObjectPtr& object, const QMouseEvent* event,
                                                     QObject* source, bool)
{
    QDrag* drag = makeDragOfStyleOrSymbol(view, object, event, source);
    if (!drag)
        return Qt::IgnoreAction;
    const auto* draggingSource = dynamic_cast<const StyleDraggingSource*>(drag->source());
    const Qt::DropActions offered = draggingSource ? draggingSource->draggingSourceOperationMaskForLocal(true)
                                                   : Qt::DropActions(Qt::CopyAction);
    return drag->exec(offered);
}

} // namespace StyleDragging
