#include "symbols/masters/VXQSymbolMaster.h"

#include "platform/foundation/KeyedArchiver.h"
#include "platform/foundation/KeyedUnarchiver.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/foundation/ZQAssert.h"
#include "platform/foundation/ZQLog.h"
#include "platform/graphics/GraphicsContext.h"
#include "platform/ui/Pasteboard.h"
#include "platform/vantrix/drawables/VXDrawableShape.h"
#include "platform/vantrix/drawables/VXRegularPolygonPath.h"
#include "platform/vantrix/drawables/VXShapeGroup.h"
#include "platform/vantrix/model/ArchiveReader.h"
#include "platform/vantrix/model/VXObjectDrawingLayer.h"
#include "platform/vantrix/model/VXUniqueID.h"
#include "platform/vantrix/text/VXTextAdornment.h"
#include "symbols/labels/VXQTextLabelContainer.h"
#include "symbols/manager/VXQSymbolManager.h"
#include "symbols/masters/VXQSymbolMasterClient.h"
#include "symbols/placed/VXQSymbol.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QScopeGuard>
#include <QSet>
#include <cmath>
#include <mutex>

namespace {

// Measuring a master's graphic and copying it fill the graphic's caches, on import workers and
// tile threads at once: they take turns. One lock for all masters, so graphics holding
// instances of other masters cannot lock in opposite orders. Drawing takes it only to copy.
std::recursive_mutex& masterGraphicLock()
{
    static std::recursive_mutex lock;
    return lock;
}

// Marks a master busy on this thread for the while. A graphic that holds an instance of its own
// master (a damaged archive) must not draw or measure itself for ever, while other threads may
// draw or measure the same master meanwhile.
class BusyOnThisThread {
public:
    BusyOnThisThread(QList<const VXQSymbolMaster*>& busy, const VXQSymbolMaster* master)
        : m_busy(busy), m_entered(!busy.contains(master))
    {
        if (m_entered)
            m_busy.append(master);
    }
    ~BusyOnThisThread()
    {
        if (m_entered)
            m_busy.removeLast();
    }
    BusyOnThisThread(const BusyOnThisThread&) = delete;
    BusyOnThisThread& operator=(const BusyOnThisThread&) = delete;
    // False when the master was busy already: leave it alone.
    bool entered() const { return m_entered; }

private:
    QList<const VXQSymbolMaster*>& m_busy;
    bool m_entered;
};

// Whether `object` shows an instance of `master`, however deep. Only a damaged file can hold
// such a graphic, which would list its styles, measure and draw itself for ever.
bool showsInstanceOf(const VXDrawableObject& object, const VXQSymbolMaster* master,
                     QSet<const VXQSymbolMaster*>& seen)
{
    if (const auto* symbol = qobject_cast<const VXQSymbol*>(&object)) {
        const VXQSymbolMaster* shown = symbol->master().get();
        if (shown == master)
            return true;
        if (!shown || seen.contains(shown))
            return false;
        seen.insert(shown);
        return shown->object() && showsInstanceOf(*shown->object(), master, seen);
    }
    if (const auto* group = qobject_cast<const VXShapeGroup*>(&object)) {
        for (const VXDrawableObjectPtr& member : group->groupObjects()) {
            if (showsInstanceOf(*member, master, seen))
                return true;
        }
    }
    return false;
}

thread_local QList<const VXQSymbolMaster*> t_drawing;
thread_local QList<const VXQSymbolMaster*> t_measuring;

const QString kUniqueKeyKey = QStringLiteral("VXQSymbolMaster_uniqueKey");
const QString kGraphicKey = QStringLiteral("VXQSymbolMaster_graphic");
const QString kAttributesTemplateKey = QStringLiteral("VXQSymbolMaster_attributesTemplate");
const QString kNameKey = QStringLiteral("VXQSymbolMaster_name");
const QString kUserDescriptionKey = QStringLiteral("VXQSymbolMaster_userDescription");
const QString kDataTransformersKey = QStringLiteral("VXQSymbolMaster_dataTransformers");
const QString kAutoDetachKey = QStringLiteral("VXQSymbolMaster_autoDetach");
const QString kLockedKey = QStringLiteral("VXQSymbolMaster_locked");
const QString kDisableSequencingKey = QStringLiteral("VXQSymbolMaster_disableSequencing");
const QString kDefaultSequenceKindKey = QStringLiteral("VXQSymbolMaster_defaultSeqKind");
const QString kNoDetachStyleKey = QStringLiteral("VXQSymbolMaster_noDetachStyle");
const QString kTimestampKey = QStringLiteral("VXQSymbolMaster_timestamp");
const QString kPrescaleKey = QStringLiteral("VXQSymbolMaster_prescale");

const QString kSwatchKey = QStringLiteral("PDF");
constexpr QSizeF kIconSize(36, 24);
constexpr int kLastSequenceKind = 8;

// Seconds between 1970 and 1 January 2001, the reference date of modification times.
constexpr double kReferenceDateOffset = 978307200.0;

double now()
{
    return double(QDateTime::currentMSecsSinceEpoch()) / 1000.0 - kReferenceDateOffset;
}

// Set while the registry is asked for a decoded master's key: answering may unarchive a
// library item, whose masters must not ask again.
bool s_isLookingUpDecodedMaster = false;

// The keys of the masters every launch makes for itself. They never change, so that the
// symbols a saved map places with them find them again after a restart.
const QString kDefaultSymbolMasterKey = QStringLiteral("5F0C2A4E-7B1D-4C36-9E58-D3A1B6F2C0E7");
const QString kPointImportSymbolMasterKey = QStringLiteral("8E3B7D21-C4A9-4F05-B612-9A7E0D4C3F18");

} // namespace

VXQSymbolMaster::VXQSymbolMaster() : m_uniqueKey(VXUniqueID::uniqueKey()), m_modTime(now()) {}

VXQSymbolMaster::~VXQSymbolMaster()
{
    watchStyles(false);
    if (m_object && m_object->container() == this)
        m_object->setContainer(nullptr);
}

// --- Making masters -----------------------------------------------------------------------------

VXQSymbolMasterPtr VXQSymbolMaster::makeBuiltInMaster(const QString& name, const QString& key, const QString& description,
                                                       const std::function<VXDrawableObjectPtr()>& makeGraphic)
{
    if (auto known = std::dynamic_pointer_cast<VXQSymbolMaster>(VXQSymbolManager::sharedSymbolManager()->symbolWithName(name)))
        return known;
    // Made with the name provider off, so the graphic's style is the same whenever the master is
    // first asked for (while a document is read, say) and takes no number from the user's styles.
    VXStyle::disableNameProvider();
    const auto enable = qScopeGuard([] { VXStyle::enableNameProvider(); });
    auto master = std::make_shared<VXQSymbolMaster>();
    master->m_uniqueKey = key;
    master->setObject(makeGraphic().get());
    master->setName(name);
    master->setUserDescription(description);
    return master;
}

VXQSymbolMasterPtr VXQSymbolMaster::builtInMasterForKey(const QString& key)
{
    VXQSymbolMasterPtr master;
    if (key == kDefaultSymbolMasterKey)
        master = defaultSymbolMaster();
    else if (key == kPointImportSymbolMasterKey)
        master = defaultSymbolMasterForPointObjectImport();
    // A registry master of the same name stands in for a built-in one, but not under its key.
    return master && master->uniqueKey() == key ? master : nullptr;
}

VXQSymbolMasterPtr VXQSymbolMaster::symbolMasterWithObjectName(const VXDrawableObject& object, const QString& name)
{
    auto master = std::make_shared<VXQSymbolMaster>();
    master->setObject(&object);
    master->setName(name);
    return master;
}

VXQSymbolMasterPtr VXQSymbolMaster::defaultSymbolMaster()
{
    static const VXQSymbolMasterPtr master = makeBuiltInMaster(
        QStringLiteral("Default Symbol"), kDefaultSymbolMasterKey, tr("Automatically generated default symbol"), [] {
            auto star = std::make_shared<VXRegularPolygonPath>();
            star->setNumberOfSides(5);
            star->setIsStar(true);
            star->setRadius(16.0);
            star->setInnerRadius(0.38);
            // Upright: here a polygon's first tip points up at angle 0.
            star->setAngle(0);
            star->setStyle(VXStyle::defaultStyle());
            return VXDrawableObjectPtr(star);
        });
    return master;
}

VXQSymbolMasterPtr VXQSymbolMaster::defaultSymbolMasterForPointObjectImport()
{
    static const VXQSymbolMasterPtr master = [] {
        VXQSymbolMasterPtr made = makeBuiltInMaster(
            QStringLiteral("Imported Point Symbol"), kPointImportSymbolMasterKey,
            tr("Automatically generated symbol used when importing point objects from shapefiles"), [] {
                return VXDrawableObjectPtr(VXDrawableShape::drawableShapeWithOvalInRect(QRectF(-2, -2, 4, 4), VXStyle::defaultStyle()));
            });
        made->setSequenceable(false);
        return made;
    }();
    return master;
}

VXDrawableObjectPtr VXQSymbolMaster::invalidSymbolObject()
{
    return VXDrawableShape::drawableShapeWithOvalInRect(
        QRectF(-2, -2, 4, 4), VXStyle::styleWithFillColourStrokeColour(Qt::red, Qt::gray));
}

VXQSymbolMasterPtr VXQSymbolMaster::libraryObjectWithFileData(const QByteArray& data)
{
    return std::dynamic_pointer_cast<VXQSymbolMaster>(platform::KeyedUnarchiver::unarchiveObjectWithData(data));
}

QStringList VXQSymbolMaster::observableKeyPaths()
{
    return {QStringLiteral("name"),          QStringLiteral("userDescription"),
            QStringLiteral("sequenceable"),  QStringLiteral("defaultSequenceKind"),
            QStringLiteral("locked"),        QStringLiteral("autoDetachesInstances"),
            QStringLiteral("image"),         QStringLiteral("dataTransformers"),
            QStringLiteral("detachesStyle"), QStringLiteral("prescale")};
}

// --- The graphic --------------------------------------------------------------------------------------

void VXQSymbolMaster::setObject(const VXDrawableObject* object)
{
    if (!object || object == m_object.get() || m_locked)
        return;
    if (QSet<const VXQSymbolMaster*> seen; showsInstanceOf(*object, this, seen)) {
        ZQLog(QStringLiteral("a symbol's graphic that shows the symbol itself is left out"));
        return;
    }
    // Shaped while it belongs to no one, so nothing is registered for undo or redrawn. A
    // placed symbol gives its master's graphic as it shows it, turned and scaled.
    const auto* symbol = qobject_cast<const VXQSymbol*>(object);
    VXDrawableObjectPtr graphic = symbol ? symbol->placedCopyOfMasterObject() : object->copyDrawable();
    if (!graphic)
        return;
    m_swatchCache.clear();
    notifyMasterWillChange();
    replaceObject(std::move(graphic));
    m_sequenceable = styleSuggestsSequenceable();
    notifyMasterDidChange();
}

void VXQSymbolMaster::replaceObject(VXDrawableObjectPtr graphic)
{
    watchStyles(false);
    if (m_object && m_object->container() == this)
        m_object->setContainer(nullptr);

    if (m_detachesStyle) {
        QHash<const VXStyle*, VXStylePtr> ownCopies;
        for (const VXStylePtr& style : graphic->allStyles())
            ownCopies.insert(style.get(), style->clone());
        graphic->replaceStyles(ownCopies);
    }
    graphic->setLocation(QPointF(0, 0));
    m_attributesTemplate.clear();
    const platform::MetadataContainer::Items items = graphic->metadata();
    for (auto item = items.cbegin(); item != items.cend(); ++item)
        m_attributesTemplate.insert(item.key(), QVariant::fromValue(ZQObjectPtr(item.value())));
    graphic->setMetadata({});

    m_object = std::move(graphic);
    m_drawingCopies.clear();
    m_object->setContainer(this);
    m_object->notifyGeometryChange(m_object->bounds());
    watchStyles(true);
}

void VXQSymbolMaster::watchStyles(bool watch)
{
    for (const VXStylePtr& style : std::as_const(m_watchedStyles))
        style->removeRastObserver(this);
    m_watchedStyles.clear();
    if (!watch || !m_object)
        return;
    m_watchedStyles = m_object->allStyles();
    for (const VXStylePtr& style : std::as_const(m_watchedStyles))
        style->addRastObserver(this);
}

QSizeF VXQSymbolMaster::objectSize() const
{
    return m_object ? m_object->size() : QSizeF(0, 0);
}

VXStylePtr VXQSymbolMaster::style() const
{
    return m_object ? m_object->style() : nullptr;
}

bool VXQSymbolMaster::isGroupObject() const
{
    return qobject_cast<const VXShapeGroup*>(m_object.get()) != nullptr;
}

QRectF VXQSymbolMaster::objectBoundsIgnoringLabels() const
{
    if (!m_object)
        return {};
    const BusyOnThisThread measuring(t_measuring, this);
    if (!measuring.entered())
        return {};
    const std::lock_guard lock(masterGraphicLock());
    if (const auto* labelled = dynamic_cast<const VXQTextLabelContainer*>(m_object.get()))
        return labelled->boundsIgnoringLabels();
    return m_object->bounds();
}

// --- Properties -----------------------------------------------------------------------------------------

template <class Change>
void VXQSymbolMaster::changeUnlessLocked(Change&& change)
{
    if (m_locked)
        return;
    notifyMasterWillChange();
    change();
    notifyMasterDidChange();
}

void VXQSymbolMaster::setName(const QString& name)
{
    if (m_locked || name == m_name)
        return;
    notifyMasterWillChange();
    announceChangeForKey(QStringLiteral("name"), [&] { m_name = name; });
    platform::NotificationCenter::defaultCenter().postNotificationName(kVXQSymbolMasterNameDidChange, this);
    notifyMasterDidChange();
}

void VXQSymbolMaster::setUserDescription(const QString& description)
{
    if (description != m_userDescription)
        changeUnlessLocked([&] { announceChangeForKey(QStringLiteral("userDescription"), [&] { m_userDescription = description; }); });
}

void VXQSymbolMaster::setSequenceable(bool sequenceable)
{
    if (sequenceable != m_sequenceable)
        changeUnlessLocked([&] { announceChangeForKey(QStringLiteral("sequenceable"), [&] { m_sequenceable = sequenceable; }); });
}

void VXQSymbolMaster::setDefaultSequenceKind(int kind)
{
    if (kind != m_defaultSequenceKind && kind >= 0 && kind <= kLastSequenceKind)
        changeUnlessLocked([&] { announceChangeForKey(QStringLiteral("defaultSequenceKind"), [&] { m_defaultSequenceKind = kind; }); });
}

void VXQSymbolMaster::setAutoDetachesInstances(bool autoDetach)
{
    if (autoDetach != m_autoDetach)
        changeUnlessLocked([&] { announceChangeForKey(QStringLiteral("autoDetachesInstances"), [&] { m_autoDetach = autoDetach; }); });
}

void VXQSymbolMaster::setPrescale(double prescale)
{
    // A scale that is not a positive number would make every new instance vanish or blow up.
    if (prescale != m_prescale && std::isfinite(prescale) && prescale > 0)
        changeUnlessLocked([&] { announceChangeForKey(QStringLiteral("prescale"), [&] { m_prescale = prescale; }); });
}

void VXQSymbolMaster::setLocked(bool locked)
{
    if (locked == m_locked)
        return;
    notifyMasterWillChange();
    announceChangeForKey(QStringLiteral("locked"), [&] { m_locked = locked; });
    platform::NotificationCenter::defaultCenter().postNotificationName(kVXQSymbolMasterLockStateDidChange, this);
    notifyMasterDidChange();
}

QImage VXQSymbolMaster::image()
{
    if (m_icon.isNull())
        m_icon = imageToFitSize(kIconSize);
    return m_icon;
}

void VXQSymbolMaster::sendInitialValuesForAllPropertiesToObserver(platform::KeyValueObserver* observer, void* context)
{
    if (!observer)
        return;
    for (const QString& keyPath : observableKeyPaths()) {
        platform::KeyValueChange change;
        change.newValue = valueForKeyPath(keyPath);
        if (platform::isNull(change.newValue))
            change.newValue = platform::nullValue();
        observer->observeValueForKeyPathOfObjectChangeContext(keyPath, this, change, context);
    }
}

// --- Swatch ------------------------------------------------------------------------------------------------

QImage VXQSymbolMaster::imageToFitSizeAllowScaleUp(QSizeF, bool)
{
    if (const auto cached = m_swatchCache.constFind(kSwatchKey); cached != m_swatchCache.cend())
        return *cached;
    if (!m_object)
        return {};
    const QRectF bounds = m_object->bounds();
    const QImage swatch = m_object->swatchImageWithSize(QSizeF(std::ceil(bounds.width()), std::ceil(bounds.height())));
    m_swatchCache.insert(kSwatchKey, swatch);
    return swatch;
}

QImage VXQSymbolMaster::imageToFitSizeWithPixelRatio(QSizeF, qreal pixelRatio)
{
    if (!m_object)
        return {};
    // Drawn afresh at the finer scale rather than enlarging the cached swatch.
    const QRectF bounds = m_object->bounds();
    QImage swatch = m_object->swatchImageWithSize(QSizeF(std::ceil(bounds.width()), std::ceil(bounds.height()))
                                                  * pixelRatio);
    swatch.setDevicePixelRatio(pixelRatio);
    return swatch;
}

// --- Sequencing ------------------------------------------------------------------------------------------------

bool VXQSymbolMaster::styleSuggestsSequenceable() const
{
    if (!m_object)
        return false;
    for (const VXStylePtr& style : m_object->allStyles()) {
        if (!style || !style->hasTextAdornment())
            continue;
        for (const auto& adornment : style->renderersOfClass<VXTextAdornment>()) {
            if (adornment->string().contains(kVXQSequenceNumberPlaceholder, Qt::CaseInsensitive))
                return true;
        }
    }
    return false;
}

// --- Clients ----------------------------------------------------------------------------------------------------

void VXQSymbolMaster::addSymbolMasterClient(ZQObject* client)
{
    auto* conforming = dynamic_cast<VXQSymbolMasterClient*>(client);
    if (!conforming)
        return;
    const QMutexLocker lock(&m_clientsMutex);
    conforming->setSymbolMasterClientIndex(m_clients.size());
    m_clients.push_back({client, conforming});
}

void VXQSymbolMaster::removeSymbolMasterClient(ZQObject* client)
{
    auto* conforming = dynamic_cast<VXQSymbolMasterClient*>(client);
    if (!conforming)
        return;
    const quint64 index = conforming->symbolMasterClientIndex();
    const QMutexLocker lock(&m_clientsMutex);
    if (index < m_clients.size() && m_clients[index].object == client)
        m_clients[index] = {};
}

int VXQSymbolMaster::symbolSlotCount() const
{
    const QMutexLocker lock(&m_clientsMutex);
    return int(m_clients.size());
}

QList<VXQSymbolMasterClient*> VXQSymbolMaster::liveClients() const
{
    const QMutexLocker lock(&m_clientsMutex);
    QList<VXQSymbolMasterClient*> clients;
    for (const ClientSlot& slot : m_clients) {
        if (slot.object)
            clients.append(slot.client);
    }
    return clients;
}

QList<ZQObject*> VXQSymbolMaster::symbols() const
{
    const QMutexLocker lock(&m_clientsMutex);
    QList<ZQObject*> clients;
    for (const ClientSlot& slot : m_clients) {
        if (slot.object)
            clients.append(slot.object);
    }
    return clients;
}

void VXQSymbolMaster::selectAllSymbols() const
{
    // Instances of a master live in every open document: only the layer's own are selected,
    // in the layer's order.
    VXObjectDrawingLayer* layer = nullptr;
    for (ZQObject* client : symbols()) {
        const auto* drawable = qobject_cast<const VXDrawableObject*>(client);
        if (drawable && (layer = qobject_cast<VXObjectDrawingLayer*>(drawable->layer())))
            break;
    }
    if (!layer)
        return;
    QList<VXDrawableObjectPtr> instances;
    {
        const QMutexLocker lock(&m_clientsMutex);
        for (const VXDrawableObjectPtr& object : layer->objects()) {
            if (const auto* client = dynamic_cast<const VXQSymbolMasterClient*>(object.get())) {
                const quint64 index = client->symbolMasterClientIndex();
                if (index < m_clients.size() && m_clients[index].object == object.get())
                    instances.append(object);
            }
        }
    }
    layer->exchangeSelectionWithObjectsFromArray(instances);
}

// --- Drawing an instance -----------------------------------------------------------------------------------------

void VXQSymbolMaster::drawSymbolInstance(const VXDrawableObject* symbol, const VXStylePtr& localStyle) const
{
    if (!ZQ_EXPECT(symbol, QStringLiteral("nil symbol when drawing")))
        return;
    auto* lender = const_cast<VXDrawableObject*>(symbol);
    if (!ZQ_EXPECT(dynamic_cast<platform::DrawableContainer*>(lender), QStringLiteral("a symbol must be a drawable container")))
        return;
    platform::GraphicsContext* context = platform::GraphicsContext::current();
    if (!m_object || !context)
        return;
    const BusyOnThisThread drawing(t_drawing, this);
    if (!drawing.entered())
        return;
    const SymbolGraphicCopies::Loan graphic = m_drawingCopies.borrow([this] { return makeDrawingCopy(); });
    context->saveGraphicsState();
    // A copy's caches hold paths in its container's coordinates: only a lender with a transform
    // of its own makes them stale.
    const bool transforms = !dynamic_cast<platform::DrawableContainer*>(lender)->renderingTransform().isIdentity();
    graphic->setContainer(lender);
    if (transforms)
        graphic->containerTransformDidChange();
    const auto giveBack = qScopeGuard([&] {
        graphic->setContainer(const_cast<VXQSymbolMaster*>(this));
        if (transforms)
            graphic->containerTransformDidChange();
        context->restoreGraphicsState();
    });
    // A lent style paints the graphic's outline in place of everything the graphic draws.
    if (localStyle && !isGroupObject() && !graphic->ghosted())
        localStyle->render(*graphic);
    else
        graphic->drawContent();
}

VXDrawableObjectPtr VXQSymbolMaster::makeDrawingCopy() const
{
    const std::lock_guard lock(masterGraphicLock());
    VXDrawableObjectPtr copy = m_object->copyDrawable();
    copy->setContainer(const_cast<VXQSymbolMaster*>(this));
    return copy;
}

// --- Data transformers ------------------------------------------------------------------------------------------------

void VXQSymbolMaster::setDataTransformers(const QList<ZQObjectPtr>& transformers)
{
    if (transformers != m_transformers)
        changeUnlessLocked([&] { announceChangeForKey(QStringLiteral("dataTransformers"), [&] { m_transformers = transformers; }); });
}

void VXQSymbolMaster::addDataTransformer(const ZQObjectPtr& transformer)
{
    if (transformer)
        changeUnlessLocked([&] { announceChangeForKey(QStringLiteral("dataTransformers"), [&] { m_transformers.append(transformer); }); });
}

void VXQSymbolMaster::removeDataTransformer(const ZQObjectPtr& transformer)
{
    if (m_transformers.contains(transformer))
        changeUnlessLocked([&] { announceChangeForKey(QStringLiteral("dataTransformers"), [&] { m_transformers.removeAll(transformer); }); });
}

void VXQSymbolMaster::removeAllDataTransformers()
{
    changeUnlessLocked([&] { announceChangeForKey(QStringLiteral("dataTransformers"), [&] { m_transformers.clear(); }); });
}

void VXQSymbolMaster::applyTransformationsWithSymbol(ZQObject* symbol) const
{
    ZQ_ASSERT(symbol, QStringLiteral("symbol was nil when trying to apply data transformations"));
    if (symbol->property("ignoresDataTransformers").toBool())
        return;
    const QVariant target = QVariant::fromValue(static_cast<QObject*>(symbol));
    for (const ZQObjectPtr& transformer : m_transformers)
        transformer->performSelector("performTransformationWithTarget", {target});
}

QVariantList VXQSymbolMaster::dataTransformersVariant() const
{
    QVariantList list;
    for (const ZQObjectPtr& transformer : m_transformers)
        list.append(QVariant::fromValue(transformer));
    return list;
}

void VXQSymbolMaster::setDataTransformersVariant(const QVariantList& transformers)
{
    QList<ZQObjectPtr> list;
    for (const QVariant& transformer : transformers) {
        if (auto object = transformer.value<ZQObjectPtr>())
            list.append(std::move(object));
    }
    setDataTransformers(list);
}

// --- Change protocol -------------------------------------------------------------------------------------------------------

void VXQSymbolMaster::notifyMasterWillChange()
{
    for (VXQSymbolMasterClient* client : liveClients())
        client->symbolMasterWillChange(this);
    platform::NotificationCenter::defaultCenter().postNotificationName(kVXQSymbolMasterWillChange, this);
}

void VXQSymbolMaster::notifyMasterDidChange()
{
    m_modTime = now();
    for (VXQSymbolMasterClient* client : liveClients())
        client->symbolMasterDidChange(this);
    platform::NotificationCenter::defaultCenter().postNotificationName(kVXQSymbolMasterDidChange, this);
}

bool VXQSymbolMaster::isEqualToSymbolMaster(const VXQSymbolMaster* other) const
{
    return other && other->m_uniqueKey == m_uniqueKey;
}

void VXQSymbolMaster::setStylesUndoManager(ZQUndoManager* undoManager)
{
    m_stylesUndoManager = undoManager;
}

void VXQSymbolMaster::rasterizerWillChangeKeyPath(VXRasterizer*, const QString&)
{
    notifyMasterWillChange();
}

void VXQSymbolMaster::rasterizerDidChangeKeyPath(VXRasterizer*, const QString&)
{
    m_swatchCache.clear();
    m_icon = QImage();
    notifyMasterDidChange();
}

// --- Library object, pasteboard, copying -------------------------------------------------------------------------------------

QByteArray VXQSymbolMaster::fileData() const
{
    return platform::KeyedArchiver::archivedDataWithRootObject(this);
}

void VXQSymbolMaster::copyToPasteboard(platform::Pasteboard& pasteboard) const
{
    pasteboard.addTypes(writableTypesForPasteboard());
    pasteboard.setStringForType(m_uniqueKey, kVXQSymbolMasterKeyPasteboardType);
    pasteboard.setDataForType(fileData(), kVXQSymbolMasterPasteboardType);
}

QStringList VXQSymbolMaster::writableTypesForPasteboard()
{
    return {kVXQSymbolMasterKeyPasteboardType, kVXQSymbolMasterPasteboardType};
}

QVariant VXQSymbolMaster::pasteboardPropertyListForType(const QString& type) const
{
    if (type == kVXQSymbolMasterKeyPasteboardType)
        return m_uniqueKey;
    if (type == kVXQSymbolMasterPasteboardType)
        return fileData();
    return {};
}

VXQSymbolMasterPtr VXQSymbolMaster::symbolMasterWithPasteboard(const platform::Pasteboard& pasteboard)
{
    const QString type = pasteboard.availableTypeFromArray(writableTypesForPasteboard());
    if (type.isEmpty())
        return nullptr;
    if (type == kVXQSymbolMasterKeyPasteboardType) {
        const QString key = pasteboard.stringForType(kVXQSymbolMasterKeyPasteboardType);
        if (VXQSymbolMasterPtr registered = key.isEmpty() ? nullptr : VXQSymbolManager::sharedSymbolForKey(key))
            return registered;
    }
    return std::dynamic_pointer_cast<VXQSymbolMaster>(pasteboard.archivedObjectForType(kVXQSymbolMasterPasteboardType));
}

bool VXQSymbolMaster::canInitWithPasteboard(const platform::Pasteboard& pasteboard)
{
    return !pasteboard.availableTypeFromArray(writableTypesForPasteboard()).isEmpty();
}

std::shared_ptr<ZQObject> VXQSymbolMaster::copy() const
{
    auto copy = std::make_shared<VXQSymbolMaster>();
    copy->m_name = m_name;
    copy->m_userDescription = m_userDescription;
    copy->m_autoDetach = m_autoDetach;
    copy->m_detachesStyle = m_detachesStyle;
    copy->m_defaultSequenceKind = m_defaultSequenceKind;
    // The graphic first: setting it would replace the template and the sequencing this
    // master has, which a copy keeps.
    if (m_object)
        copy->setObject(m_object.get());
    copy->m_attributesTemplate = m_attributesTemplate;
    copy->m_sequenceable = m_sequenceable;
    copy->m_locked = m_locked;
    return copy;
}

QString VXQSymbolMaster::description() const
{
    return QStringLiteral("Symbol Master %1 '%2'; [%3]")
        .arg(QString::number(quintptr(this), 16), m_name, m_uniqueKey);
}

void VXQSymbolMaster::encodeWithCoder(platform::KeyedArchiver& coder) const
{
    coder.encodeString(m_uniqueKey, kUniqueKeyKey);
    coder.encodeObject(m_object.get(), kGraphicKey);
    coder.encodeObject(QVariant(m_attributesTemplate), kAttributesTemplateKey);
    coder.encodeString(m_name, kNameKey);
    coder.encodeString(m_userDescription, kUserDescriptionKey);
    coder.encodeObject(QVariant(dataTransformersVariant()), kDataTransformersKey);
    coder.encodeBool(m_autoDetach, kAutoDetachKey);
    coder.encodeBool(m_locked, kLockedKey);
    coder.encodeBool(!m_sequenceable, kDisableSequencingKey);
    coder.encodeInt(m_defaultSequenceKind, kDefaultSequenceKindKey);
    coder.encodeBool(!m_detachesStyle, kNoDetachStyleKey);
    coder.encodeDouble(m_modTime, kTimestampKey);
    coder.encodeDouble(double(float(m_prescale)), kPrescaleKey);
}

void VXQSymbolMaster::initWithCoder(platform::KeyedUnarchiver& coder)
{
    const platform::ArchiveReader reader(coder);
    // A master without a key of its own keeps the fresh one it was made with, so that it
    // can never take another master's place.
    m_uniqueKey = reader.string(kUniqueKeyKey, m_uniqueKey);
    if (m_uniqueKey.isEmpty())
        m_uniqueKey = VXUniqueID::uniqueKey();
    m_swatchCache.clear();
    m_detachesStyle = !reader.boolean(kNoDetachStyleKey, false);
    const double prescale = reader.real(kPrescaleKey, 0);
    m_prescale = prescale > 0 ? double(float(prescale)) : 1.0;
    if (const auto graphic = reader.object<VXDrawableObject>(kGraphicKey)) {
        // Its styles were detached and named when it was first set: read again, they keep their
        // names rather than take the next number at every open.
        VXStyle::disableNameProvider();
        const auto enable = qScopeGuard([] { VXStyle::enableNameProvider(); });
        setObject(graphic.get());
    }
    if (reader.contains(kAttributesTemplateKey))
        m_attributesTemplate = reader.dictionary(kAttributesTemplateKey);
    m_name = reader.string(kNameKey);
    m_userDescription = reader.string(kUserDescriptionKey);
    m_transformers = reader.objects<ZQObject>(kDataTransformersKey);
    m_autoDetach = reader.boolean(kAutoDetachKey, false);
    m_sequenceable = !reader.boolean(kDisableSequencingKey, false);
    m_defaultSequenceKind = int(reader.integer(kDefaultSequenceKindKey, 0, 0, kLastSequenceKind));
    m_modTime = reader.real(kTimestampKey, m_modTime);
    m_locked = reader.boolean(kLockedKey, false);
    const QMutexLocker lock(&m_clientsMutex);
    m_clients.clear();
}

std::shared_ptr<ZQObject> VXQSymbolMaster::awakeAfterUsingCoder(platform::KeyedUnarchiver&)
{
    auto self = std::static_pointer_cast<VXQSymbolMaster>(shared_from_this());
    if (s_isLookingUpDecodedMaster)
        return self;
    VXQSymbolMasterPtr registered;
    {
        s_isLookingUpDecodedMaster = true;
        const auto clear = qScopeGuard([] { s_isLookingUpDecodedMaster = false; });
        registered = VXQSymbolManager::sharedSymbolForKey(m_uniqueKey);
    }
    if (!registered)
        registered = builtInMasterForKey(m_uniqueKey);
    if (registered)
        return registered;
    if (m_object)
        VXQSymbolManager::registerSymbol(self);
    return self;
}
