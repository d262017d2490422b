#pragma once

// A piece of text hanging on a map feature (its container, see VXQTextLabelContainer.h),
// drawn by a text adornment of its own. The abstract base of block labels and labels along
// paths: concrete classes make the adornment and give the geometry.
//
// A label has no layer, lock or undo manager of its own: it borrows its container's, and
// without a container its commands still change the adornment while undo and refreshes go
// nowhere. Every change of the adornment reaches the label as its rasterizer observer: the
// label registers the undo on the container's undo manager, named by the adornment, and
// tells the container before and after, so it can refresh and re-measure. Attribute setters
// also bracket their change with the container's attribute will/did calls.
//
// Text arrives from the pasteboard as RTF, HTML or plain text. The in-place editor shows the
// text with its placeholders resolved and its runs: what the user types takes the attributes
// where it is typed, pasted text keeps its own, font changes apply to the selected characters,
// every other run keeps its own, and an unchanged or cancelled edit changes nothing (so the
// placeholders stay).
//
// Archived under "VXQTextLabel_adornment" and, conditionally, "VXQTextLabel_container"; a
// label whose adornment holds no text decodes to nothing.

#include "platform/foundation/ZQObject.h"
#include "platform/ui/MenuItem.h"
#include "platform/vantrix/drawables/VXRenderable.h"
#include "platform/vantrix/styles/VXRasterizer.h"
#include "platform/vantrix/text/VXTextAdornment.h"
#include "platform/vantrix/view/VXTextEditingDelegate.h"
#include "symbols/labels/VXQTextLabelContainer.h"

#include <QPainterPath>
#include <QPointer>
#include <QStringList>

class QAction;
class VXDrawableObject;
class VXDrawingView;
class VXObjectOwnerLayer;
class ZQUndoManager;
namespace platform {
class Menu;
class MenuItem;
class Pasteboard;
} // namespace platform

class VXQTextLabel : public ZQObject,
                     public VXRenderable,
                     public VXRasterizerObserver,
                     public VXTextEditingDelegate {
    Q_OBJECT
    Q_PROPERTY(VXTextAdornment* textAdornment READ textAdornmentObject STORED false)
    Q_PROPERTY(bool locked READ locked WRITE setLocked STORED false)
    Q_PROPERTY(QString string READ string STORED false)
    Q_PROPERTY(QString displayName READ displayName STORED false)

public:
    ~VXQTextLabel() override;

    static QString defaultLabelText();
    static QString defaultLabelPlaceholderText();
    static QColor ghostColour();
    // The pasteboard types text is pasted from, in order of preference.
    static QStringList pasteableTextTypes();
    QString displayName() const;

    // --- Construction and ownership --------------------------------------------------------
    // Makes the adornment (makeTextAdornment) with the default text and placeholder.
    void init();
    const VXTextAdornmentPtr& textAdornment() const { return m_adornment; }
    // No undo; the new adornment gets the placeholder and this label as observer.
    virtual void setTextAdornment(const VXTextAdornmentPtr& adornment);
    VXQTextLabelContainer* container() const;
    QObject* containerObject() const { return m_containerObject; }
    // Called by the container that adopts or gives up the label. `owner` is the feature the
    // container stands for, when the container is not that object itself.
    void setContainer(VXQTextLabelContainer* container);
    void setContainer(VXQTextLabelContainer* container, QObject* owner);

    // --- Borrowed from the container ---------------------------------------------------------
    VXObjectOwnerLayer* layer() const;
    ZQUndoManager* undoManager() const;
    QVariant metadataObjectForKey(const QString& key) const override;
    quint32 metadataChecksum() const;
    bool locked() const;
    void setLocked(bool locked);
    bool isSelected() const;
    void select();

    // --- Text and attributes -------------------------------------------------------------------
    // The template as an editor shows it.
    platform::AttributedString text() const;
    // An AttributedString or a plain string.
    void setText(const QVariant& text);
    // The text as drawn: substitutions resolved, the placeholder when they give nothing.
    platform::AttributedString attributedString() const;
    QString string() const;
    QString searchableString() const;

    QVariantMap textAttributes() const;
    QFont font() const;
    double fontSize() const;
    QColor textColour() const;
    int verticalAlignment() const;
    double verticalAlignmentProportion() const;
    platform::ParagraphStyle paragraphStyle() const;
    int alignment() const;
    // Each told to the container as an attribute change; setTextAttributes is one undo step
    // of its own, the others are undone through the adornment.
    void setTextAttributes(const QVariantMap& attributes);
    void setFont(const QFont& font);
    void setFontSize(double size);
    void setTextColour(const QColor& colour);
    void setVerticalAlignment(int alignment);
    void setVerticalAlignmentProportion(double proportion);
    void setParagraphStyle(const platform::ParagraphStyle& style);
    void setAlignment(int alignment);

    // --- Telling the container -------------------------------------------------------------------
    void notifyVisualChange() const;
    // The container recomputes its geometry; `oldBounds` is redrawn.
    void notifyBoundsChange(const QRectF& oldBounds) const;
    void labelContentWillChange();
    virtual void labelContentDidChange();
    virtual void labelDidBecomeSelected() {}
    virtual void labelWasDeselected() {}

    // --- Geometry and drawing (concrete classes) -------------------------------------------------
    QRectF bounds() const override;
    virtual QRectF hitTestBounds() const { return bounds(); }
    virtual QRectF editingTextBounds() const { return bounds(); }
    virtual void drawInView(VXDrawingView* view) const {}
    virtual void highlightInView(VXDrawingView* view) const {}
    // The label's own part at the point (0 for none or the body).
    virtual int hitTest(QPointF point) const { return 0; }
    QSizeF minSize() const { return {10, 16}; }
    QSizeF maxSize() const;
    // An ordinary text object of the drawing showing what the label shows.
    virtual std::shared_ptr<VXDrawableObject> convertToTextObject() const;
    virtual void fitToText(QObject* sender) {}

    // VXRenderable: the defaults of a label without geometry.
    platform::BezierPath renderingPath() const override { return {}; }
    double angle() const override { return 0; }
    QSizeF size() const override { return {0, 0}; }
    QPointF location() const override { return {}; }
    QTransform containerTransform() const override { return {}; }
    quint64 geometryChecksum() const override;

    // --- Pasteboard ------------------------------------------------------------------------------
    static bool canPasteText(const platform::Pasteboard& pasteboard);
    static bool canPasteTextStyle(const platform::Pasteboard& pasteboard);
    // The richest pasteable type that reads becomes the text, its runs over the label's
    // attributes; answers why nothing was pasted when the text offered does not read.
    QString pasteTextFromPasteboardIgnoreFormatting(const platform::Pasteboard* pasteboard, bool ignoreFormatting);
    // The label's archive (no container) under kVXQTextLabelPasteboardType, then its text.
    void copyToPasteboard(platform::Pasteboard* pasteboard) const;
    // A detached label, or null when the pasteboard holds none that reads.
    static std::shared_ptr<VXQTextLabel> labelWithPasteboard(const platform::Pasteboard* pasteboard);

    // --- Commands ------------------------------------------------------------------------------
    Q_INVOKABLE void changeFont(QObject* sender = nullptr);
    Q_INVOKABLE void changeAttributes(QObject* sender = nullptr);
    Q_INVOKABLE void changeFontSize(QObject* sender);
    Q_INVOKABLE void changeTextCustomAttributes(QObject* sender);
    Q_INVOKABLE void editText(QObject* sender = nullptr);
    Q_INVOKABLE void paste(QObject* sender = nullptr);
    Q_INVOKABLE void pasteTextStyle(QObject* sender = nullptr);
    Q_INVOKABLE void copy(QObject* sender);
    Q_INVOKABLE void alignLeft(QObject* sender = nullptr);
    Q_INVOKABLE void alignRight(QObject* sender = nullptr);
    Q_INVOKABLE void alignCenter(QObject* sender = nullptr);
    Q_INVOKABLE void alignJustified(QObject* sender = nullptr);
    Q_INVOKABLE void underline(QObject* sender = nullptr);
    Q_INVOKABLE void capitalize(QObject* sender);
    Q_INVOKABLE void verticalAlign(QObject* sender);
    Q_INVOKABLE void loosenKerning(QObject* sender = nullptr);
    Q_INVOKABLE void tightenKerning(QObject* sender = nullptr);
    Q_INVOKABLE void turnOffKerning(QObject* sender = nullptr);
    Q_INVOKABLE void useStandardKerning(QObject* sender = nullptr);
    Q_INVOKABLE void lowerBaseline(QObject* sender = nullptr);
    Q_INVOKABLE void raiseBaseline(QObject* sender = nullptr);
    Q_INVOKABLE void superscript(QObject* sender = nullptr);
    Q_INVOKABLE void subscript(QObject* sender = nullptr);
    Q_INVOKABLE void unscript(QObject* sender = nullptr);
    Q_INVOKABLE void takeTextAlignmentFromSender(QObject* sender);
    Q_INVOKABLE void takeTextVerticalAlignmentFromSender(QObject* sender);
    Q_INVOKABLE void delete_(QObject* sender);
    Q_INVOKABLE void detachFromFeature(QObject* sender = nullptr);

    // The label's contextual menu items (none while the container is locked), ahead of the
    // container's own.
    virtual void populateContextualMenu(platform::Menu* menu);
    Q_INVOKABLE virtual bool validateMenuItem(platform::MenuItem* item);

    // --- In-place editing (one label at a time in the whole application) ---------------------------
    void startEditingInView(VXDrawingView* view);
    void endEditing();
    bool isEditing() const;
    void attributedTextEditingDidEnd(const platform::AttributedString& text, bool cancelled) override;

    // --- Rasterizer observer ---------------------------------------------------------------------
    void rasterizerWillChangeKeyPath(VXRasterizer* rasterizer, const QString& keyPath) override;
    void rasterizerDidChangeKeyPath(VXRasterizer* rasterizer, const QString& keyPath) override;

    // --- Copying and archiving -------------------------------------------------------------------
    // A detached label of the same class with a copy of the adornment.
    std::shared_ptr<ZQObject> copy() const override;
    void encodeWithCoder(platform::KeyedArchiver& coder) const override;
    void initWithCoder(platform::KeyedUnarchiver& coder) override;
    // Nothing when the adornment holds no text.
    std::shared_ptr<ZQObject> awakeAfterUsingCoder(platform::KeyedUnarchiver& coder) override;

protected:
    VXQTextLabel();
    // Fills `outline` faintly in the highlight colour and strokes it, into the current context.
    static void drawHighlightOutline(const QPainterPath& outline);
    // A context-menu item that sends `action` to this label.
    platform::MenuItem* commandItem(const QString& title, const QByteArray& action, QObject* parent, int tag = 0);
    // After an in-place edit changed the text, within its undo step.
    virtual void textWasEdited() {}
    // The adornment a new label of the class draws with; the base raises.
    virtual VXTextAdornmentPtr makeTextAdornment() const;
    // The container's drawable side, when it is a drawable.
    VXDrawableObject* containerDrawable() const;
    // Runs `change` between the container's attribute will/did calls.
    void changeAttributesBracketed(const std::function<void()>& change);
    // Names the undo step on the label's undo manager, unless it is undoing or redoing.
    void setUndoActionName(const QString& name) const;
    // The standard first items (edit, delete, copy, paste text, paste text style), before `before`.
    void addEditingItemsToMenu(platform::Menu* menu, QAction* before);

private:
    VXTextAdornment* textAdornmentObject() const { return m_adornment.get(); }
    void observeAdornment(const VXTextAdornmentPtr& previous, const VXTextAdornmentPtr& next);
    // The text an in-place editor starts with: the template with its placeholders resolved.
    platform::AttributedString textForEditingInPlace() const;

    VXTextAdornmentPtr m_adornment;
    QPointer<QObject> m_containerObject;
    VXQTextLabelContainer* m_container = nullptr;
    // setTextAttributes registers its own undo: the adornment's key changes are not recorded.
    bool m_recordsAdornmentChanges = true;
};

Q_DECLARE_METATYPE(VXQTextLabelPtr)
