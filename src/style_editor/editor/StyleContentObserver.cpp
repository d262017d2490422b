#include "style_editor/editor/StyleContentObserver.h"

#include "platform/foundation/RunLoop.h"
#include "platform/foundation/ZQAssert.h"
#include "platform/foundation/ZQLog.h"
#include "platform/vantrix/model/VXDrawing.h"
#include "platform/vantrix/inspector/SameObjects.h"
#include "platform/vantrix/model/VXObjectDrawingLayer.h"
#include "platform/vantrix/styles/VXStyleHistory.h"

#include <QScopeGuard>
#include <QSet>
#include <QWidget>
#include <exception>

namespace {

const QByteArray kSelectionStylesKey = "selectionStylesDidChange";
const QByteArray kToolStyleKey = "toolStyleDidChange";

} // namespace

StyleContentObserver::~StyleContentObserver()
{
    platform::RunLoop::cancelPreviousPerformRequests(this);
    platform::NotificationCenter::defaultCenter().removeObserver(this);
    m_selectionStyles.reset();
    removeObservations(m_styleObservations);
}

void StyleContentObserver::followDrawing(VXDrawing* previous, VXDrawing* drawing)
{
    platform::NotificationCenter& centre = platform::NotificationCenter::defaultCenter();
    if (previous) {
        centre.removeObserver(this, kVXDrawingActiveLayerDidChange, previous);
        centre.removeObserver(this, kVXLayerSelectionDidChange, nullptr);
        centre.removeObserver(this, kVXDrawingUnitsDidChangeNotification, previous);
    }
    m_drawing = drawing;
    if (!drawing) {
        setSelection({});
        return;
    }
    centre.addObserver(this, kVXDrawingActiveLayerDidChange, drawing, [this](const platform::Notification& notification) {
        if (!m_drawing || notification.object() != m_drawing)
            return;
        if (auto* layer = qobject_cast<VXObjectDrawingLayer*>(m_drawing->activeLayer()))
            setSelectionFromLayer(layer);
    });
    centre.addObserver(this, kVXLayerSelectionDidChange, nullptr, [this](const platform::Notification& notification) {
        if (auto* layer = qobject_cast<VXObjectDrawingLayer*>(notification.object()))
            setSelectionFromLayer(layer);
    });
    centre.addObserver(this, kVXDrawingUnitsDidChangeNotification, drawing,
                       [this](const platform::Notification&) { Q_EMIT drawingUnitsDidChange(); });
    auto* active = qobject_cast<VXObjectDrawingLayer*>(drawing->activeLayer());
    setSelection(active ? active->selection() : QList<VXDrawableObjectPtr>());
}

void StyleContentObserver::followToolStyles(QWidget* view)
{
    m_toolStyleView = view;
    const auto changed = [this](const platform::Notification&) {
        if (!m_toolStyleView || !m_toolStyleView->window()->isActiveWindow())
            return;
        platform::RunLoop::cancelPreviousPerformRequests(this, kToolStyleKey);
        platform::RunLoop::performAfterDelay(
            this,
            [this] {
                if (VXStylePtr current = VXStyleHistory::defaultHistory().currentStyle())
                    Q_EMIT toolStyleDidChange(current);
            },
            0, kToolStyleKey);
    };
    platform::NotificationCenter::defaultCenter().addObserver(this, kStyleHistoryNewStyleNotification,
                                                              &VXStyleHistory::defaultHistory(), changed);
}

void StyleContentObserver::setSelectionFromLayer(VXObjectDrawingLayer* layer)
{
    if (!ZQ_EXPECT(layer, QStringLiteral("require layer to be valid")))
        return;
    if (!m_drawing || layer->drawing() != m_drawing)
        return;
    // One pending update per layer; its selection is read when the update runs.
    const QByteArray key = "setSelection:" + QByteArray::number(quintptr(layer));
    platform::RunLoop::cancelPreviousPerformRequests(this, key);
    const QPointer<VXObjectDrawingLayer> source = layer;
    platform::RunLoop::performAfterDelay(
        this,
        [this, source] {
            if (source)
                setSelection(source->selection());
        },
        0, key);
}

void StyleContentObserver::setSelection(const QList<VXDrawableObjectPtr>& selection)
{
    if (platform::sameObjects(selection, m_selection))
        return;
    m_selection = selection;
    observeSelectionStyles();
    Q_EMIT selectionDidChange(stylesOfSelection());
}

QList<VXStylePtr> StyleContentObserver::stylesOfSelection() const
{
    QList<VXStylePtr> styles;
    QSet<const VXStyle*> seen;
    const VXStyle* previous = nullptr;
    for (const VXDrawableObjectPtr& object : m_selection) {
        VXStylePtr style = object->style();
        // Neighbours mostly share a style: a million lines of one style look none up.
        if (style.get() == previous)
            continue;
        previous = style.get();
        if (style && !seen.contains(style.get())) {
            seen.insert(style.get());
            styles.append(style);
        }
    }
    return styles;
}

void StyleContentObserver::observeSelectionStyles()
{
    m_restylePending = false;
    platform::RunLoop::cancelPreviousPerformRequests(this, kSelectionStylesKey);
    m_selectionStyles = std::make_unique<platform::ObjectsChangeWatch>(
        m_selection, QStringList{QStringLiteral("style")},
        [this](qsizetype, bool prior, const ZQObject&) { return !prior && !m_restylePending; },
        [this](qsizetype, bool) { selectionWasRestyled(); });
}

void StyleContentObserver::selectionWasRestyled()
{
    // One update for a batch that restyles the selection.
    m_restylePending = true;
    platform::RunLoop::performAfterDelay(
        this,
        [this] {
            m_restylePending = false;
            Q_EMIT selectionStylesDidChange(stylesOfSelection());
        },
        0, kSelectionStylesKey);
}

void StyleContentObserver::observeStyle(const VXStylePtr& style, const QStringList& keyPaths)
{
    m_startingObservation = true;
    const auto done = qScopeGuard([this] { m_startingObservation = false; });
    for (const QString& keyPath : keyPaths) {
        try {
            const quint64 token = style->observeKeyPath(
                keyPath, platform::KeyValueObservingOptionNew | platform::KeyValueObservingOptionInitial, this,
                [this, keyPath](const platform::KeyValueChange& change) {
                    if (!change.isPrior)
                        Q_EMIT styleValueDidChange(keyPath);
                });
            m_styleObservations.append({style, token});
        } catch (const std::exception&) {
            ZQLog(QStringLiteral("an error ocurred registering for KVO on -[%1 %2] '%3'")
                      .arg(QString::fromLatin1(style->metaObject()->className()), keyPath, style->name()));
        }
    }
}

void StyleContentObserver::stopObservingStyle()
{
    removeObservations(m_styleObservations);
}

void StyleContentObserver::removeObservations(QList<Observation>& observations)
{
    for (const Observation& observation : std::exchange(observations, {})) {
        const ZQObjectPtr object = observation.object.lock();
        if (!object)
            continue;
        try {
            object->removeObservation(observation.token);
        } catch (const std::exception&) {
            ZQLog(QStringLiteral("an error occurred removing observer for '%1'").arg(object->description()));
        }
    }
}
