#pragma once

// A style: the root group of components that draw an object, with a name, an overall
// opacity, a lock and a unique key that library items share. The objects drawn with it
// observe it (see VXRasterizerObserver), and it announces every change with
// kVXStyleDidChangeNotification (sender the style). A locked style ignores edits.

#include "platform/vantrix/styles/VXRastGroup.h"

#include <QColor>
#include <QImage>
#include <QPointer>
#include <QVariantMap>

class VXShadow;

inline const QString kVXStyleDidChangeNotification = QStringLiteral("kVXStyleDidChangeNotification");
inline const QString kVXStyleNameChangedNotification = QStringLiteral("kVXStyleNameChangedNotification");
inline const QString kVXStyleLockStateChangedNotification = QStringLiteral("kVXStyleLockStateChangedNotification");
// Posted (no sender) when the style-sharing preference is turned on or off.
inline const QString kVXStyleSharingEnabledChangeNotification =
    QStringLiteral("kVXStyleSharingEnabledChangeNotification");

// Pasteboard types: the style's keyed archive, and its unique key (resolved through the registry).
inline const QString kVXStylePasteboardType = QStringLiteral("application/x-quorvane.style");
inline const QString kVXStyleKeyPasteboardType = QStringLiteral("application/x-quorvane.style-key");

class VXStyle;
using VXStylePtr = std::shared_ptr<VXStyle>;

// Names the copies that mutableCopy and clone make (the library numbers them).
class VXStyleNameProvider {
public:
    virtual ~VXStyleNameProvider() = default;
    virtual QString nameForCopyOfStyle(const VXStyle& style) const = 0;
};

class VXStyle : public VXRastGroup {
    Q_OBJECT
    Q_PROPERTY(QString name READ name WRITE setName)
    Q_PROPERTY(double opacity READ opacity WRITE setOpacity)
    Q_PROPERTY(bool isStyleRegistered READ isStyleRegistered WRITE setIsStyleRegistered STORED false)
    Q_PROPERTY(bool styleSharable READ styleSharable WRITE setStyleSharable)
    Q_PROPERTY(QString uniqueKey READ uniqueKey STORED false)
    Q_CLASSINFO("actionName:name", "Style Name")
    Q_CLASSINFO("actionName:opacity", "Style Opacity")
    Q_CLASSINFO("actionName:locked", "Lock Style")
    Q_CLASSINFO("actionName:styleSharable", "Style Sharing")
    Q_CLASSINFO("actionName:enabled", "Enable Style")

public:
    // An empty, unnamed, opaque style with a fresh key.
    VXStyle();
    ~VXStyle() override;

    QString displayName() const override;

    QString name() const { return m_name; }
    void setName(const QString& name);
    // 0 (invisible) to 1 (opaque); the components are composed first, then faded together.
    double opacity() const { return m_opacity; }
    void setOpacity(double opacity);
    // Kept by the style registry; not archived.
    bool isStyleRegistered() const { return m_isStyleRegistered; }
    void setIsStyleRegistered(bool registered);
    bool styleSharable() const { return m_styleSharable; }
    void setStyleSharable(bool sharable);

    QString uniqueKey() const { return m_uniqueKey; }
    // "Fill #AAD0E5, stroke 1 pt #333333" and the like.
    QString userDescription() const;
    // Seconds since 1970 of the last change.
    double lastModificationTimestamp() const { return m_lastModificationTimestamp; }
    // True when every component draws text.
    bool isPureTextStyle() const;
    // Whether a component draws text; text attributes are those of the last such component
    // (empty without one).
    bool hasTextAdornment() const;
    bool hasTextAttributes() const;
    QVariantMap textAttributes() const;
    // Makes the value part of the style: a colour fills, a font or a dictionary of text
    // attributes sets the text (adding a text component when there is none), a component is
    // added. Answers whether the value was one of these.
    bool addOrSetComponentForObject(const QVariant& object);

    bool hasStroke() const;
    bool hasFill() const;
    // The first enabled solid fill's or stroke's colour (drawing order); invalid when none.
    QColor fillColour() const;
    QColor strokeColour() const;
    // Colours the first fill (stroke); adds one (fills at the bottom, strokes on top) when
    // there is none; an invalid colour removes them.
    void setFillColour(const QColor& colour);
    void setStrokeColour(const QColor& colour);
    // The widest enabled stroke, 0 without strokes.
    double maxStrokeWidth() const;

    // An identical style with the same key (locked included), outside the registry.
    std::shared_ptr<ZQObject> copy() const override;
    // The same, unlocked, unregistered and named by the name provider when one is enabled.
    VXStylePtr mutableCopy() const;
    // A mutable copy with a fresh key.
    VXStylePtr clone() const;
    // Same opacity and equal components; names and keys are not compared.
    bool isEqualToStyle(const VXStyle* other) const;
    bool isEqualToRasterizer(const VXRasterizer& other) const override;

    // Swatches: the style drawn on a rectangle that leaves room for its extra space.
    QImage image() const;
    // With a `pixelRatio` above 1 the swatch keeps its size in units and is drawn finer, for
    // printers: strokes and dashes stay in proportion.
    QImage imageToFitSize(QSizeF size, qreal pixelRatio = 1.0) const;
    QImage swatchImageWithSize(QSizeF size, qreal pixelRatio = 1.0) const;

    void render(const VXRenderable& object) const override;

    // Puts the style's archive and its key on the pasteboard.
    void copyToPasteboard(QMimeData* mimeData) const;
    // The archived style, else the registered style for the key; null when neither.
    static VXStylePtr styleFromPasteboard(const QMimeData* mimeData);
    static bool canInitWithPasteboard(const QMimeData* mimeData);

    // The style new objects get: each call answers a new mutable copy of the prototype, so
    // editing what one caller got never changes the others'.
    static VXStylePtr defaultStyle();
    static void setDefaultStyle(const VXStylePtr& style);
    static VXStylePtr defaultTextStyle();
    static void setDefaultTextStyle(const VXStylePtr& style);
    static VXStylePtr defaultShapeStyle();
    static VXStylePtr defaultLineStyle();
    static std::shared_ptr<VXShadow> defaultShadow();
    // An invalid colour leaves the fill (stroke) out; strokes are 1 wide unless given.
    static VXStylePtr styleWithFillColourStrokeColour(const QColor& fill, const QColor& stroke);
    static VXStylePtr styleWithFillColourStrokeColourStrokeWidth(const QColor& fill, const QColor& stroke,
                                                                 double strokeWidth);
    // A style of one text component, named after its font.
    static VXStylePtr textStyleWithFont(const QFont& font);
    static VXStylePtr textStyleWithAttributes(const QVariantMap& attributes);
    // A new style made of the value as addOrSetComponentForObject takes it; null for other values.
    static VXStylePtr styleWithObject(const QVariant& object);

    // Not owned; forgotten when it is a QObject that is destroyed. Nesting disable/enable.
    static void setNameProvider(VXStyleNameProvider* provider);
    static void disableNameProvider();
    static void enableNameProvider();

    // The preferences (VXDrawingPreferences) every style follows.
    static bool styleSharingEnabled();
    static bool stylesAreSharableByDefault();
    static bool shouldAntialias();
    static bool willDrawShadows();

    // Puts the default styles and the name provider back as they were when it began, on any
    // exit (for code, such as tests, that changes them for a while). Restoring notifies no one.
    class SettingsScope {
    public:
        SettingsScope();
        ~SettingsScope();
        SettingsScope(const SettingsScope&) = delete;
        SettingsScope& operator=(const SettingsScope&) = delete;

    private:
        struct Saved;
        std::unique_ptr<Saved> m_saved;
    };

    void componentDidChangeKeyPath(VXRasterizer* component, const QString& keyPath) override;

    void encodeWithCoder(platform::KeyedArchiver& coder) const override;
    void initWithCoder(platform::KeyedUnarchiver& coder) override;

private:
    void touch();
    void renderInTransparencyLayer(const VXRenderable& object) const;
    VXStylePtr copyNamedByProvider() const;

    QString m_name;
    double m_opacity = 1.0;
    bool m_isStyleRegistered = false;
    bool m_styleSharable;
    QString m_uniqueKey;
    double m_lastModificationTimestamp;
};

Q_DECLARE_METATYPE(VXStylePtr)
