#pragma once

// The shared definition of a point symbol: one graphic (any drawable, a group included) with a
// name, a description, numbering settings, a default scale, an attribute template for new
// instances, data transformers and a lock. Placed symbols point at a master and draw its graphic
// through their own placement, so editing the master changes every instance at once.
//
// Identity: a master is its unique key, made once and kept for life. Masters are shared by key:
// decoding one whose key the shared registry (VXQSymbolManager) knows answers the registered
// object instead, for every reference in the archive; an unknown one that has a graphic is
// registered.
//
// The graphic is always a private copy at the origin whose attributes became the attribute
// template; the master is its container (layer and drawing none, identity transform, no
// attributes). Instances draw copies of it that share its styles (see drawSymbolInstance).
// The master watches the graphic's styles, so a style edit is a master change.
//
// Changes: every edit runs notifyMasterWillChange (clients in slot order, then
// "kVXQSymbolMasterWillChange"), the change, then notifyMasterDidChange (modification time,
// clients, "kVXQSymbolMasterDidChange"). A locked master ignores edits silently; setLocked
// always works. Clients are kept weakly in slots that are never reused.
//
// Archive keys, in order: "VXQSymbolMaster_uniqueKey", "_graphic", "_attributesTemplate",
// "_name", "_userDescription", "_dataTransformers", "_autoDetach", "_locked",
// "_disableSequencing" (not sequenceable), "_defaultSeqKind", "_noDetachStyle" (not
// detachesStyle), "_timestamp", "_prescale" (single precision).

#include "platform/foundation/KeyValueObserving.h"
#include "platform/foundation/ZQObject.h"
#include "platform/foundation/ZQUndoManager.h"
#include "platform/vantrix/drawables/VXDrawableObject.h"
#include "platform/vantrix/inspector/VXInspectableObject.h"
#include "platform/vantrix/model/DrawableContainer.h"
#include "symbols/manager/VXQLibraryObjectProtocol.h"
#include "symbols/masters/SymbolGraphicCopies.h"

#include <QHash>
#include <QImage>
#include <QMutex>
#include <QPointer>
#include <QVariantMap>
#include <vector>

class VXQSymbol;
class VXQSymbolMaster;
class VXQSymbolMasterClient;
namespace platform {
class Pasteboard;
}

using VXQSymbolMasterPtr = std::shared_ptr<VXQSymbolMaster>;

inline const QString kVXQSymbolMasterWillChange = QStringLiteral("kVXQSymbolMasterWillChange");
inline const QString kVXQSymbolMasterDidChange = QStringLiteral("kVXQSymbolMasterDidChange");
inline const QString kVXQSymbolMasterNameDidChange = QStringLiteral("kVXQSymbolMasterNameDidChange");
inline const QString kVXQSymbolMasterLockStateDidChange = QStringLiteral("kVXQSymbolMasterLockStateDidChange");

// Pasteboard types: the key first (a plain string), then the master's archive.
inline const QString kVXQSymbolMasterKeyPasteboardType = QStringLiteral("com.veltrum.pbtype.symbolmasterkey");
inline const QString kVXQSymbolMasterPasteboardType = QStringLiteral("com.veltrum.pbtype.symbolmaster");

// The text placeholder that makes a master's instances numbered (compared ignoring case).
inline const QString kVXQSequenceNumberPlaceholder = QStringLiteral("%%QVNL_SEQUENCE_NUMBER");

class VXQSymbolMaster : public ZQObject,
                        public platform::DrawableContainer,
                        public VXRasterizerObserver,
                        public VXQLibraryObjectProtocol,
                        public VXInspectableObject {
    Q_OBJECT
    Q_PROPERTY(QString name READ name WRITE setName)
    Q_PROPERTY(QString userDescription READ userDescription WRITE setUserDescription)
    Q_PROPERTY(QString uniqueKey READ uniqueKey STORED false)
    Q_PROPERTY(bool sequenceable READ sequenceable WRITE setSequenceable)
    Q_PROPERTY(int defaultSequenceKind READ defaultSequenceKind WRITE setDefaultSequenceKind)
    Q_PROPERTY(bool locked READ locked WRITE setLocked)
    Q_PROPERTY(bool autoDetachesInstances READ autoDetachesInstances WRITE setAutoDetachesInstances)
    Q_PROPERTY(bool detachesStyle READ detachesStyle WRITE setDetachesStyle)
    Q_PROPERTY(double prescale READ prescale WRITE setPrescale)
    Q_PROPERTY(QVariantMap attributesTemplate READ attributesTemplate WRITE setAttributesTemplate)
    Q_PROPERTY(QImage image READ image WRITE setImage STORED false)
    Q_PROPERTY(QVariantList dataTransformers READ dataTransformersVariant WRITE setDataTransformersVariant)
    Q_PROPERTY(bool isGroupObject READ isGroupObject STORED false)

public:
    VXQSymbolMaster();
    ~VXQSymbolMaster() override;

    // --- Making masters -------------------------------------------------------------------
    // A master of a private copy of `object`, named.
    static VXQSymbolMasterPtr symbolMasterWithObjectName(const VXDrawableObject& object, const QString& name);
    // The registry's "Default Symbol", else a five-point star of radius 16; made once.
    static VXQSymbolMasterPtr defaultSymbolMaster();
    // The registry's "Imported Point Symbol", else a 4 x 4 oval about the origin; made once,
    // and not sequenceable.
    static VXQSymbolMasterPtr defaultSymbolMasterForPointObjectImport();
    // One of the two masters above when `key` is its key, which is the same on every launch.
    static VXQSymbolMasterPtr builtInMasterForKey(const QString& key);
    // A red and grey 4 x 4 oval for symbols that cannot be drawn.
    static VXDrawableObjectPtr invalidSymbolObject();
    // What fileData wrote; null when it is damaged or holds no master.
    static VXQSymbolMasterPtr libraryObjectWithFileData(const QByteArray& data);
    // Inspectors observe these, in this order.
    static QStringList observableKeyPaths();

    // --- Instances -------------------------------------------------------------------------
    // A new symbol of this master at `location`, its scale factor the prescale times the
    // document's prescale (clamped by the symbol).
    std::shared_ptr<VXQSymbol> symbolWithLocation(QPointF location) const
    {
        return symbolWithLocationDocumentPrescale(location, 1.0);
    }
    std::shared_ptr<VXQSymbol> symbolWithLocationDocumentPrescale(QPointF location, double documentPrescale) const;

    // --- The graphic ----------------------------------------------------------------------
    VXDrawableObject* object() const { return m_object.get(); }
    VXDrawableObjectPtr objectPtr() const { return m_object; }
    // Takes a private copy of `object` at the origin (see the top); a copy of a placed symbol
    // takes the symbol's scale and angle. Null empties nothing: a master keeps its graphic.
    void setObject(const VXDrawableObject* object);
    QSizeF objectSize() const;
    VXStylePtr style() const;
    bool isGroupObject() const;
    // Relative to the graphic's own coordinates; labels left out; empty without a graphic.
    // Safe from any thread.
    QRectF objectBoundsIgnoringLabels() const;

    // --- Properties (guarded: ignored while locked or when unchanged) --------------------------
    QString name() const override { return m_name; }
    void setName(const QString& name) override;
    QString userDescription() const override { return m_userDescription; }
    void setUserDescription(const QString& description) override;
    QString uniqueKey() const override { return m_uniqueKey; }
    bool sequenceable() const { return m_sequenceable; }
    void setSequenceable(bool sequenceable);
    // The kind (0..8) a new sequence of this master starts with.
    int defaultSequenceKind() const { return m_defaultSequenceKind; }
    void setDefaultSequenceKind(int kind);
    // Placing makes plain copies of the graphic instead of symbols.
    bool autoDetachesInstances() const { return m_autoDetach; }
    void setAutoDetachesInstances(bool autoDetach);
    // The scale factor new instances start with.
    double prescale() const { return m_prescale; }
    void setPrescale(double prescale);
    bool locked() const override { return m_locked; }
    void setLocked(bool locked) override;
    double lastModificationTimestamp() const override { return m_modTime; }

    // --- Plain stored values (no notification, no lock) -----------------------------------
    // A graphic set from now on loses its shared styles for copies of its own.
    bool detachesStyle() const { return m_detachesStyle; }
    void setDetachesStyle(bool detaches) { m_detachesStyle = detaches; }
    // Attributes every new instance starts with.
    QVariantMap attributesTemplate() const { return m_attributesTemplate; }
    void setAttributesTemplate(const QVariantMap& attributes) { m_attributesTemplate = attributes; }
    quint64 clientIndex() const { return m_clientIndex; }
    void setClientIndex(quint64 index) { m_clientIndex = index; }
    // The icon: made on first request from the swatch at 36 x 24.
    QImage image() override;
    void setImage(const QImage& image) { m_icon = image; }

    // The observer is told each observable key path's value (the null marker for none) as
    // a change, in order.
    void sendInitialValuesForAllPropertiesToObserver(platform::KeyValueObserver* observer, void* context);

    // --- Swatch --------------------------------------------------------------------------------
    // The graphic at its natural size, cached under "PDF" until the graphic or a style changes.
    // The size asked for does not change the answer: callers fit it.
    QImage imageToFitSize(QSizeF size) override { return imageToFitSizeAllowScaleUp(size, false); }
    QImage imageToFitSizeAllowScaleUp(QSizeF size, bool allowScaleUp) override;
    QImage imageToFitSizeWithPixelRatio(QSizeF size, qreal pixelRatio) override;
    QHash<QString, QImage> swatchCache() const { return m_swatchCache; }

    // --- Sequencing ------------------------------------------------------------------------------
    // Whether a text adornment of the graphic's styles shows the sequence-number placeholder.
    bool styleSuggestsSequenceable() const;

    // --- Clients -----------------------------------------------------------------------------------
    // Safe from any thread: a shapefile import places symbols on its worker.
    // Only objects adopting VXQSymbolMasterClient are taken; each is told its slot index.
    void addSymbolMasterClient(ZQObject* client);
    // Empties the client's slot; slots are never compacted.
    void removeSymbolMasterClient(ZQObject* client);
    // The live clients, in slot order.
    QList<ZQObject*> symbols() const;
    // The number of slots ever handed out.
    int symbolSlotCount() const;
    // Selects, in the layer of one of the instances, that layer's instances (in the layer's order).
    void selectAllSymbols() const;

    // --- Drawing an instance -------------------------------------------------------------------
    // Draws the graphic for `symbol` into the current graphics context. For the length of the
    // call a copy of the graphic that no other thread holds takes `symbol` as its container
    // (its rendering transform and attributes), so several threads may draw instances at once;
    // when `localStyle` is given and the graphic is no group, that style paints the graphic
    // instead of what it draws itself. Quiet: nothing is posted, nothing registered for undo.
    // `symbol` must be a platform::DrawableContainer.
    void drawSymbolInstance(const VXDrawableObject* symbol, const VXStylePtr& localStyle = nullptr) const;

    // --- Data transformers ---------------------------------------------------------------------
    QList<ZQObjectPtr> dataTransformers() const { return m_transformers; }
    void setDataTransformers(const QList<ZQObjectPtr>& transformers);
    void addDataTransformer(const ZQObjectPtr& transformer);
    void removeDataTransformer(const ZQObjectPtr& transformer);
    void removeAllDataTransformers();
    ZQObjectPtr dataTransformerAtIndex(int index) const { return m_transformers.value(index); }
    // Each transformer, in order, performs "performTransformationWithTarget" on the symbol,
    // unless the symbol's "ignoresDataTransformers" is true.
    void applyTransformationsWithSymbol(ZQObject* symbol) const;

    // --- Change protocol ---------------------------------------------------------------------------
    void notifyMasterWillChange();
    void notifyMasterDidChange();
    bool isEqualToSymbolMaster(const VXQSymbolMaster* other) const;
    // The undo manager style edits of the graphic register with.
    void setStylesUndoManager(ZQUndoManager* undoManager);

    // --- Library object, pasteboard, copying -----------------------------------------------------
    ZQObjectPtr clone() const override { return copy(); }
    QByteArray fileData() const override;
    // Both types, key first.
    void copyToPasteboard(platform::Pasteboard& pasteboard) const override;
    static QStringList writableTypesForPasteboard();
    // The key string, the archive data, or nothing for another type.
    QVariant pasteboardPropertyListForType(const QString& type) const;
    // The registered master for the key on the pasteboard, else the archived one (which comes
    // back as the registered master when its key is known); null when neither reads.
    static VXQSymbolMasterPtr symbolMasterWithPasteboard(const platform::Pasteboard& pasteboard);
    static bool canInitWithPasteboard(const platform::Pasteboard& pasteboard);

    // A new master (new key, prescale 1, no transformers, no icon) with this one's settings,
    // attribute template, a copy of the graphic and, last, the lock.
    std::shared_ptr<ZQObject> copy() const override;
    QString description() const override;
    QStringList inspectableKeyPaths() const override { return observableKeyPaths(); }

    void encodeWithCoder(platform::KeyedArchiver& coder) const override;
    void initWithCoder(platform::KeyedUnarchiver& coder) override;
    // The registered master of the same key, else this one (registered when it has a graphic).
    std::shared_ptr<ZQObject> awakeAfterUsingCoder(platform::KeyedUnarchiver& coder) override;

    // --- Container of the graphic (platform::DrawableContainer) --------------------------------
    VXObjectOwnerLayer* layer() const override { return nullptr; }
    VXDrawing* drawing() const override { return nullptr; }
    ZQUndoManager* undoManager() const override { return m_stylesUndoManager; }
    QTransform renderingTransform() const override { return {}; }
    void objectDidChangeBoundsFrom(VXDrawableObject*, const QRectF&) override {}
    void setNeedsDisplayInRect(const QRectF&) override {}
    QVariant metadataObjectForKey(const QString&) const override { return {}; }

protected:
    // The graphic's styles: a change of one is a change of the master.
    void rasterizerWillChangeKeyPath(VXRasterizer* rasterizer, const QString& keyPath) override;
    void rasterizerDidChangeKeyPath(VXRasterizer* rasterizer, const QString& keyPath) override;
    ZQUndoManager* undoManagerForRasterizerChanges() const override { return m_stylesUndoManager; }

private:
    struct ClientSlot {
        QPointer<ZQObject> object;
        VXQSymbolMasterClient* client = nullptr;
    };

    static VXQSymbolMasterPtr makeBuiltInMaster(const QString& name, const QString& key, const QString& description,
                                                const std::function<VXDrawableObjectPtr()>& makeGraphic);
    void replaceObject(VXDrawableObjectPtr graphic);
    // A copy of the graphic for drawing, idle with this master as its container.
    VXDrawableObjectPtr makeDrawingCopy() const;
    void watchStyles(bool watch);
    // Runs `change` between the will- and did-change notifications, unless locked.
    template <class Change>
    void changeUnlessLocked(Change&& change);
    QList<VXQSymbolMasterClient*> liveClients() const;
    QVariantList dataTransformersVariant() const;
    void setDataTransformersVariant(const QVariantList& transformers);

    VXDrawableObjectPtr m_object;
    QString m_name;
    QString m_uniqueKey;
    QString m_userDescription;
    QImage m_icon;
    QList<ZQObjectPtr> m_transformers;
    bool m_autoDetach = false;
    bool m_locked = false;
    QHash<QString, QImage> m_swatchCache;
    QVariantMap m_attributesTemplate;
    bool m_sequenceable = false;
    bool m_detachesStyle = true;
    double m_modTime = 0;
    int m_defaultSequenceKind = 0;
    double m_prescale = 1.0;
    quint64 m_clientIndex = 0;
    std::vector<ClientSlot> m_clients;
    mutable QMutex m_clientsMutex;
    QList<VXStylePtr> m_watchedStyles;
    QPointer<ZQUndoManager> m_stylesUndoManager;
    mutable SymbolGraphicCopies m_drawingCopies;
};

Q_DECLARE_METATYPE(VXQSymbolMasterPtr)
