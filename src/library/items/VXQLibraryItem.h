#pragma once

// One stored style or symbol master of a library, kept on disk as "<name>.libitem" (see
// LibraryItemPackage). An item can live without its object: it answers from its info and its
// stored preview and decodes the object only when asked (representedObject). While loaded it
// follows the object's notifications and rewrites its package when the object changes.
//
// Names never hold "/", ":" or "\" (each becomes "-") and are unique in the library
// ("Road-1"); renaming moves the package.
//
// Previews are read on iconFetchQueue() and handed to the main thread; every change of the
// item happens there. A preview that is missing, or was dropped by a change, is
// drawn on a worker too: until it arrives previewImage() answers none and views show a placeholder.

#include "library/tree/VXQLibraryElement.h"

#include <QDateTime>
#include <QPointF>
#include <QSizeF>
#include <functional>

class QThreadPool;
class VXQLibraryCategory;
class VXQLibraryObjectProtocol;
class VXQSymbolMaster;
class VXStyle;
namespace platform {
class Pasteboard;
struct Notification;
}

class VXQLibraryItem;
using VXQLibraryItemPtr = std::shared_ptr<VXQLibraryItem>;

inline const QString kVXQLibraryItemPasteboardType = QStringLiteral("VXQLIBITEM_PB_TYPE");
inline const QString kVXQLibraryObjectWasLoadedFromDisk = QStringLiteral("kVXQLibraryObjectWasLoadedFromDisk");
inline const QString kVXQLibraryObjectWasUpdatedOnDisk = QStringLiteral("kVXQLibraryObjectWasUpdatedOnDisk");
inline const QString kVXQLibraryObjectInternallyUpdated = QStringLiteral("kVXQLibraryObjectInternallyUpdated");
inline const QString kVXQLibraryObjectImageUpdated = QStringLiteral("kVXQLibraryObjectImageUpdated");

class VXQLibraryItem : public VXQLibraryElement {
    Q_OBJECT
    Q_PROPERTY(QString uniqueKey READ uniqueKey STORED false)
    Q_PROPERTY(qint64 classCode READ classCode STORED false)
    Q_PROPERTY(QString kind READ kind STORED false)
    Q_PROPERTY(QPointF iconPosition READ iconPosition WRITE setIconPosition STORED false)
    Q_PROPERTY(bool locked READ locked WRITE setLocked STORED false)
    Q_PROPERTY(QString createdBy READ createdBy WRITE setCreatedBy STORED false)
    Q_PROPERTY(QString userDescription READ userDescription WRITE setUserDescription STORED false)
    Q_PROPERTY(QString title READ title STORED false)
    Q_PROPERTY(QString path READ path STORED false)
    Q_PROPERTY(QDateTime creationDate READ creationDate STORED false)
    Q_PROPERTY(QDateTime lastModificationDate READ lastModificationDate STORED false)
    // Read by whoever is handed an item as a sender (a layer applying a symbol or overlay).
    Q_PROPERTY(ZQObjectPtr representedObject READ representedObject STORED false)

public:
    VXQLibraryItem();
    ~VXQLibraryItem() override;

    // --- Making items -----------------------------------------------------------------------
    // A new item of a style or symbol master, made now by the current user; null for other objects.
    static VXQLibraryItemPtr itemWithLibraryObject(const ZQObjectPtr& object);
    // The item stored in a package; null (with a log line) when it is no package or its data
    // holds no library object.
    static VXQLibraryItemPtr itemWithFile(const QString& packagePath);
    // The item a pasteboard archive holds, resolved to its library's own item when there is one.
    static VXQLibraryItemPtr itemWithPasteboardData(const QByteArray& data);
    void initWithNameLibrary(const QString& name, VXQLibrary* library) override;
    // An entry of the category file: null when the package is missing; the library's own item
    // when it already holds the key.
    VXQLibraryElementPtr initWithInfoLibrary(const QVariantMap& info, VXQLibrary* library) override;

    // --- The object ---------------------------------------------------------------------------
    ZQObjectPtr representedObject();
    // The object must be a style or a symbol master (a programming error otherwise).
    void setRepresentedObject(const ZQObjectPtr& object);
    bool hasObject() const { return m_object != nullptr; }
    // The object when it is of that kind, loading it; null otherwise.
    std::shared_ptr<VXStyle> style();
    std::shared_ptr<VXQSymbolMaster> symbolMaster();
    // The library's categories, at any depth, that hold the item.
    QList<VXQLibraryCategory*> categories() const;
    // Writes pending changes and drops the object; false when there is no package or no object.
    bool unload();

    QString uniqueKey() const;
    void setUniqueKey(const QString& key) { m_key = key; }
    qint64 classCode() const { return m_classCode; }
    void setClassCode(qint64 code) { m_classCode = code; }
    QString kind() const;
    QPointF iconPosition() const { return m_iconPosition; }
    void setIconPosition(QPointF position) { m_iconPosition = position; }

    // --- Info ---------------------------------------------------------------------------------
    QVariantMap info();
    // A null value removes the key; the info file is rewritten at once where allowed.
    void setInfoValueForKey(const QVariant& value, const QString& key);
    QByteArray infoData();
    bool locked();
    void setLocked(bool locked);
    QString userDescription();
    void setUserDescription(const QString& description);
    QString createdBy();
    void setCreatedBy(const QString& name);
    QDateTime creationDate();
    QDateTime lastModificationDate();
    bool autoDetachesInstances();
    QSizeF originalSize();
    QString title() const;

    // --- Names and files ----------------------------------------------------------------------
    QString name() const override;
    void setName(const QString& name) override;
    // Takes a name its package already lies under (a transferred item).
    void adoptNameWithoutMoving(const QString& name);
    // "/", ":" and "\" become "-".
    static QString cleanedName(const QString& name);
    // "Untitled Style - 1", "Untitled Style - 2", ... for the run.
    static QString nextAdHocStyleName();
    QString filename() const;
    // Moves the package; false when a package of that name exists or the move fails.
    bool setFilename(const QString& newName);
    // Empty when the library has no folder.
    QString path() const;
    bool hasValidPath() const;
    bool writeToFile();
    bool updateOnDiskIfNeeded();
    bool deleteOnDisk();
    // Called with the name a failed rename wanted; the application shows "Name Error".
    static void setNameErrorHandler(std::function<void(const QString& name)> handler);

    // --- Previews -----------------------------------------------------------------------------
    QImage previewImage() { return previewImageLoadingAsynchronously(true); }
    QImage previewImageLoadingAsynchronously(bool asynchronously);
    QImage makePreviewImage();
    void setPreviewImage(const QImage& image);
    bool remakeIconOnDisk();
    QByteArray previewThumbnail();
    QByteArray previewData();
    // The queue previews are read and drawn on. Its threads are its own: painting on the main
    // thread hands its blending to Qt's global pool and must never wait behind a preview.
    static QThreadPool& iconFetchQueue();
    static bool loadsImagesUsingThread();
    static void setLoadsImagesUsingThread(bool flag);
    static QImage iconForItem(const VXQLibraryItem& item);
    static void setIconForItem(const QImage& image, const VXQLibraryItem& item);
    QImage icon() const override;
    QString toolTipString() const override { return name(); }

    // --- Pasteboard and archives --------------------------------------------------------------
    // The items' archives; the last item's object adds its own types and, for a symbol master,
    // a drawable (a symbol at the origin with the prescale, or the graphic of an auto-detaching master).
    static bool writeLibraryItemsToPasteboard(const QList<VXQLibraryItemPtr>& items, platform::Pasteboard& pasteboard)
    {
        return writeLibraryItemsToPasteboardSymbolPrescale(items, pasteboard, 1.0);
    }
    static bool writeLibraryItemsToPasteboardSymbolPrescale(const QList<VXQLibraryItemPtr>& items,
                                                            platform::Pasteboard& pasteboard, double prescale);
    static QList<VXQLibraryItemPtr> libraryItemsFromPasteboard(const platform::Pasteboard& pasteboard);
    static std::shared_ptr<VXQLibrary> sourceLibraryOnPasteboard(const platform::Pasteboard& pasteboard);
    QByteArray pasteboardData() const;
    void encodeWithCoder(platform::KeyedArchiver& coder) const override;
    void initWithCoder(platform::KeyedUnarchiver& coder) override;
    ZQObjectPtr awakeAfterUsingCoder(platform::KeyedUnarchiver& coder) override;
    // A new item of a clone of the object, in no library.
    std::shared_ptr<ZQObject> copy() const override;

    // Sets the item's own key, else the loaded object's; unknown keys are ignored.
    void setValueForUndefinedKey(const QVariant& value, const QString& key) override;

    QVariantMap elementInfo() const override;
    QString description() const override;

    // --- Items for objects (looked up by key in every live library) ---------------------------
    static QList<VXQLibraryItemPtr> libraryItemsWithObjects(const QList<ZQObjectPtr>& objects)
    {
        return libraryItemsWithObjectsReturnAnyExisting(objects, false);
    }
    // In order: a library's item for a known object when `returnAnyExisting`, else a new item.
    static QList<VXQLibraryItemPtr> libraryItemsWithObjectsReturnAnyExisting(const QList<ZQObjectPtr>& objects,
                                                                             bool returnAnyExisting);
    // New items for the objects no library of the groups holds (empty groups: all).
    static QList<VXQLibraryItemPtr> libraryItemsWithUnknownObjectsInGroups(const QList<ZQObjectPtr>& objects,
                                                                           const QStringList& groups);
    static QList<VXQLibraryItemPtr> existingLibraryItemsWithObjects(const QList<ZQObjectPtr>& objects);
    // Text styles of "Helvetica", "Helvetica Bold" and "Gill Sans" at eleven sizes each, leaving
    // out fonts the system cannot match.
    static QList<VXQLibraryItemPtr> predefinedFontStyleItems();

    // Class codes: see LibraryObjects.
    static qint64 codeForClass(const QString& className);
    static QString localisedKindStringForClassCode(qint64 code);

private:
    std::shared_ptr<VXQLibraryObjectProtocol> libraryObject() const { return m_libObject; }
    bool libraryAllowsContentChanges() const;
    void setObjectWithoutWriting(const ZQObjectPtr& object);
    void setUpNotifications();
    void tearDownNotifications();
    void repObjectChanged(const platform::Notification& notification);
    void startPreviewLoad();
    void previewLoadFinished(const QImage& image);
    void startPreviewRendering();
    void previewRenderingFinished(const QImage& image);
    void logUnreadablePreview() const;
    void objectDidChange(bool nameChanged, bool contentChanged, bool lockChanged);

    QString m_key;
    QVariantMap m_info;
    bool m_infoBuilt = false;
    // The object changed since its description was copied into the info.
    bool m_descriptionIsStale = false;
    ZQObjectPtr m_object;
    std::shared_ptr<VXQLibraryObjectProtocol> m_libObject;
    qint64 m_classCode = 0;
    bool m_needsUpdate = false;
    bool m_imageLoading = false;
    // Moves on whenever the object changes, so that a preview drawn from an older copy is dropped.
    quint64 m_previewGeneration = 0;
    bool m_isSettingProperty = false;
    QPointF m_iconPosition;
    QList<quint64> m_observerTokens;
};

Q_DECLARE_METATYPE(VXQLibraryItemPtr)
