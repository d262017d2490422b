#include "symbols/labels/VXQTextLabel.h"

#include "platform/foundation/ClassRegistry.h"
#include "platform/foundation/KeyedArchiver.h"
#include "platform/foundation/KeyedUnarchiver.h"
#include "platform/foundation/ZQAssert.h"
#include "platform/foundation/ZQLog.h"
#include "platform/foundation/ZQUndoManager.h"
#include "platform/graphics/GraphicsContext.h"
#include "platform/ui/Application.h"
#include "platform/ui/FontManager.h"
#include "platform/ui/Menu.h"
#include "platform/ui/Pasteboard.h"
#include "platform/vantrix/drawables/VXDrawableObject.h"
#include "platform/vantrix/model/ArchiveReader.h"
#include "platform/vantrix/model/KeyValueUndo.h"
#include "platform/vantrix/model/VXObjectDrawingLayer.h"
#include "platform/vantrix/text/PastedText.h"
#include "platform/vantrix/text/TextSubstitution.h"
#include "platform/vantrix/view/VXDrawingView.h"
#include "tracks/model/ZQMultiStylePath.h"

#include <QApplication>
#include <QPainter>
#include <algorithm>
#include <QScopeGuard>

namespace {

const QString kAdornmentKey = QStringLiteral("VXQTextLabel_adornment");
const QString kContainerKey = QStringLiteral("VXQTextLabel_container");

// The one label being edited in place, the view editing it and the characters it started with.
QPointer<VXQTextLabel> editedLabel;
QPointer<VXDrawingView> editingView;
platform::AttributedString textBeforeEditing;

// The drawing view holding the focus in the active window, if any.
VXDrawingView* focusedDrawingView()
{
    for (QWidget* widget = QApplication::focusWidget(); widget; widget = widget->parentWidget()) {
        if (auto* view = qobject_cast<VXDrawingView*>(widget))
            return view;
    }
    return nullptr;
}

int tagOf(QObject* sender)
{
    return sender ? sender->property("tag").toInt() : 0;
}

// The tag of a segmented control's selected segment, or the sender's own tag.
int selectedSegmentTagOf(QObject* sender)
{
    if (!sender)
        return 0;
    const QVariant segmentTag = sender->property("selectedSegmentTag");
    return segmentTag.isValid() ? segmentTag.toInt() : tagOf(sender);
}

platform::FontManager* fontManagerOf(QObject* sender)
{
    if (auto* manager = qobject_cast<platform::FontManager*>(sender))
        return manager;
    return platform::FontManager::sharedFontManager();
}

} // namespace

platform::MenuItem* VXQTextLabel::commandItem(const QString& title, const QByteArray& action, QObject* parent,
                                              int tag)
{
    auto* item = new platform::MenuItem(title, action, parent);
    item->setTarget(this);
    item->setTag(tag);
    return item;
}

void VXQTextLabel::drawHighlightOutline(const QPainterPath& outline)
{
    platform::GraphicsContext* context = platform::GraphicsContext::current();
    if (!context)
        return;
    QPainter* painter = context->painter();
    const QColor colour = QGuiApplication::palette().color(QPalette::Highlight);
    QColor faint = colour;
    faint.setAlphaF(0.2f);
    painter->save();
    painter->fillPath(outline, faint);
    painter->strokePath(outline, QPen(colour, 0.5));
    painter->restore();
}

VXQTextLabel::VXQTextLabel() = default;

VXQTextLabel::~VXQTextLabel()
{
    if (m_adornment)
        m_adornment->removeRastObserver(this);
}

QString VXQTextLabel::defaultLabelText()
{
    return QStringLiteral("%%name");
}

QString VXQTextLabel::defaultLabelPlaceholderText()
{
    return tr("Label");
}

QColor VXQTextLabel::ghostColour()
{
    return VXDrawableObject::ghostColour();
}

QStringList VXQTextLabel::pasteableTextTypes()
{
    return platform::pasteableTextTypes();
}

QString VXQTextLabel::displayName() const
{
    return tr("Label");
}

// --- Construction and ownership ----------------------------------------------------------------

void VXQTextLabel::init()
{
    VXTextAdornmentPtr adornment = makeTextAdornment();
    adornment->setString(defaultLabelText());
    setTextAdornment(adornment);
}

VXTextAdornmentPtr VXQTextLabel::makeTextAdornment() const
{
    ZQ_ASSERT(false, QStringLiteral("[VXQTextLabel makeTextAdornment] must be overridden to return an adornment "
                                    "appropriate for the concrete subclass"));
    return nullptr;
}

void VXQTextLabel::setTextAdornment(const VXTextAdornmentPtr& adornment)
{
    if (adornment == m_adornment)
        return;
    const VXTextAdornmentPtr previous = m_adornment;
    m_adornment = adornment;
    if (m_adornment)
        m_adornment->setPlaceholder(defaultLabelPlaceholderText());
    observeAdornment(previous, m_adornment);
}

void VXQTextLabel::observeAdornment(const VXTextAdornmentPtr& previous, const VXTextAdornmentPtr& next)
{
    if (previous)
        previous->removeRastObserver(this);
    if (next)
        next->addRastObserver(this);
}

VXQTextLabelContainer* VXQTextLabel::container() const
{
    return m_containerObject ? m_container : nullptr;
}

void VXQTextLabel::setContainer(VXQTextLabelContainer* container)
{
    setContainer(container, dynamic_cast<QObject*>(container));
}

void VXQTextLabel::setContainer(VXQTextLabelContainer* container, QObject* owner)
{
    m_container = container;
    m_containerObject = container ? owner : nullptr;
}

VXDrawableObject* VXQTextLabel::containerDrawable() const
{
    return qobject_cast<VXDrawableObject*>(m_containerObject.data());
}

// --- Borrowed from the container ----------------------------------------------------------------

VXObjectOwnerLayer* VXQTextLabel::layer() const
{
    const VXDrawableObject* drawable = containerDrawable();
    return drawable ? drawable->layer() : nullptr;
}

ZQUndoManager* VXQTextLabel::undoManager() const
{
    const VXDrawableObject* drawable = containerDrawable();
    return drawable ? drawable->undoManager() : nullptr;
}

QVariant VXQTextLabel::metadataObjectForKey(const QString& key) const
{
    const VXQTextLabelContainer* owner = container();
    return owner ? owner->metadataObjectForKey(key) : QVariant();
}

quint32 VXQTextLabel::metadataChecksum() const
{
    const VXDrawableObject* drawable = containerDrawable();
    return drawable ? drawable->metadataChecksum() : 0;
}

quint64 VXQTextLabel::geometryChecksum() const
{
    const VXDrawableObject* drawable = containerDrawable();
    return drawable ? drawable->geometryChecksum() : 0;
}

bool VXQTextLabel::locked() const
{
    const VXQTextLabelContainer* owner = container();
    return owner && owner->locked();
}

void VXQTextLabel::setLocked(bool locked)
{
    if (VXQTextLabelContainer* owner = container())
        owner->setLocked(locked);
}

bool VXQTextLabel::isSelected() const
{
    const VXQTextLabelContainer* owner = container();
    if (!owner)
        return false;
    const QList<VXQTextLabelPtr> selection = owner->selectedTextLabels();
    return std::any_of(selection.cbegin(), selection.cend(), [this](const VXQTextLabelPtr& l) { return l.get() == this; });
}

void VXQTextLabel::select()
{
    if (VXQTextLabelContainer* owner = container())
        owner->selectTextLabelExtendingSelection(this, false);
}

// --- Text and attributes ------------------------------------------------------------------------

platform::AttributedString VXQTextLabel::text() const
{
    return m_adornment->textForEditing();
}

void VXQTextLabel::setText(const QVariant& text)
{
    m_adornment->setLabel(text);
}

platform::AttributedString VXQTextLabel::attributedString() const
{
    return m_adornment->textToDraw(*this);
}

QString VXQTextLabel::string() const
{
    return attributedString().string();
}

QString VXQTextLabel::searchableString() const
{
    if (const auto* renderable = dynamic_cast<const VXRenderable*>(m_containerObject.data()))
        return m_adornment->searchableStringForObject(*renderable);
    return m_adornment->searchableStringForObject(*this);
}

QVariantMap VXQTextLabel::textAttributes() const
{
    return m_adornment->textAttributes();
}

QFont VXQTextLabel::font() const
{
    return m_adornment->font();
}

double VXQTextLabel::fontSize() const
{
    return m_adornment->fontSize();
}

QColor VXQTextLabel::textColour() const
{
    return m_adornment->colour();
}

int VXQTextLabel::verticalAlignment() const
{
    return m_adornment->verticalAlignment();
}

double VXQTextLabel::verticalAlignmentProportion() const
{
    return m_adornment->verticalAlignmentProportion();
}

platform::ParagraphStyle VXQTextLabel::paragraphStyle() const
{
    return m_adornment->paragraphStyle();
}

int VXQTextLabel::alignment() const
{
    return m_adornment->alignment();
}

void VXQTextLabel::changeAttributesBracketed(const std::function<void()>& change)
{
    if (VXQTextLabelContainer* owner = container())
        owner->textLabelAttributesWillChange(this);
    change();
    if (VXQTextLabelContainer* owner = container())
        owner->textLabelAttributesDidChange(this);
}

void VXQTextLabel::setTextAttributes(const QVariantMap& attributes)
{
    if (VXQTextLabelContainer* owner = container())
        owner->textLabelAttributesWillChange(this);
    if (ZQUndoManager* undo = undoManager()) {
        const auto self = std::static_pointer_cast<VXQTextLabel>(shared_from_this());
        const QVariantMap previous = textAttributes();
        undo->registerUndoWithTargetHandler(this, [self, previous] { self->setTextAttributes(previous); });
    }
    m_recordsAdornmentChanges = false;
    const auto resume = qScopeGuard([this] { m_recordsAdornmentChanges = true; });
    m_adornment->setTextAttributes(attributes);
    if (VXQTextLabelContainer* owner = container())
        owner->textLabelAttributesDidChange(this);
}

void VXQTextLabel::setFont(const QFont& font)
{
    changeAttributesBracketed([&] { m_adornment->setFont(font); });
}

void VXQTextLabel::setFontSize(double size)
{
    changeAttributesBracketed([&] { m_adornment->setFontSize(size); });
}

void VXQTextLabel::setTextColour(const QColor& colour)
{
    changeAttributesBracketed([&] { m_adornment->setColour(colour); });
}

void VXQTextLabel::setVerticalAlignment(int alignment)
{
    changeAttributesBracketed([&] { m_adornment->setVerticalAlignment(alignment); });
}

void VXQTextLabel::setVerticalAlignmentProportion(double proportion)
{
    changeAttributesBracketed([&] { m_adornment->setVerticalAlignmentProportion(proportion); });
}

void VXQTextLabel::setParagraphStyle(const platform::ParagraphStyle& style)
{
    changeAttributesBracketed([&] { m_adornment->setParagraphStyle(style); });
}

void VXQTextLabel::setAlignment(int alignment)
{
    changeAttributesBracketed([&] { m_adornment->setAlignment(alignment); });
}

// --- Telling the container ----------------------------------------------------------------------

void VXQTextLabel::notifyVisualChange() const
{
    if (const VXDrawableObject* drawable = containerDrawable())
        drawable->setNeedsDisplayInRect(bounds());
}

void VXQTextLabel::notifyBoundsChange(const QRectF& oldBounds) const
{
    if (VXDrawableObject* drawable = containerDrawable())
        drawable->notifyGeometryChange(oldBounds);
}

void VXQTextLabel::labelContentWillChange()
{
    if (VXQTextLabelContainer* owner = container())
        owner->textLabelContentWillChange(this);
}

void VXQTextLabel::labelContentDidChange()
{
    if (VXQTextLabelContainer* owner = container())
        owner->textLabelContentDidChange(this);
}

void VXQTextLabel::setUndoActionName(const QString& name) const
{
    ZQUndoManager* undo = undoManager();
    if (undo && !undo->isUndoing() && !undo->isRedoing())
        undo->setActionName(name);
}

// --- Geometry ------------------------------------------------------------------------------------

QRectF VXQTextLabel::bounds() const
{
    ZQLogObjCMethod(QStringLiteral("[VXQTextLabel bounds] must be overridden"));
    return {};
}

QSizeF VXQTextLabel::maxSize() const
{
    const QSizeF size = bounds().size();
    return {std::max(5 * size.width(), 400.0), 10 * size.height()};
}

std::shared_ptr<VXDrawableObject> VXQTextLabel::convertToTextObject() const
{
    ZQ_ASSERT(false, QStringLiteral("[VXQTextLabel convertToTextObject] must be overridden by the concrete subclass "
                                    "to return an appropriate object"));
    return nullptr;
}

// --- Pasteboard -----------------------------------------------------------------------------------

bool VXQTextLabel::canPasteText(const platform::Pasteboard& pasteboard)
{
    return !pasteboard.availableTypeFromArray(pasteableTextTypes()).isEmpty();
}

bool VXQTextLabel::canPasteTextStyle(const platform::Pasteboard& pasteboard)
{
    const VXStylePtr style = VXStyle::styleFromPasteboard(pasteboard.mimeData());
    return style && style->hasTextAttributes();
}

QString VXQTextLabel::pasteTextFromPasteboardIgnoreFormatting(const platform::Pasteboard* pasteboard,
                                                              bool ignoreFormatting)
{
    if (!ZQ_EXPECT(pasteboard, QStringLiteral("pasteboard was nil")))
        return {};
    const platform::PastedText pasted = platform::pastedTextFromPasteboard(*pasteboard);
    if (!pasted.text)
        return pasted.refusal;
    if (ignoreFormatting)
        setText(pasted.text->string());
    else
        setText(QVariant::fromValue(platform::pastedTextOverAttributes(*pasted.text, textAttributes())));
    return {};
}

void VXQTextLabel::copyToPasteboard(platform::Pasteboard* pasteboard) const
{
    if (!ZQ_EXPECT(pasteboard, QStringLiteral("pasteboard was nil - cannot copy")))
        return;
    pasteboard->declareTypes({kVXQTextLabelPasteboardType, platform::kPasteboardTypeString});
    pasteboard->setArchivedObjectForType(this, kVXQTextLabelPasteboardType);
    pasteboard->setStringForType(text().string(), platform::kPasteboardTypeString);
}

VXQTextLabelPtr VXQTextLabel::labelWithPasteboard(const platform::Pasteboard* pasteboard)
{
    ZQ_ASSERT(pasteboard, QStringLiteral("cannot create label with nil pasteboard"));
    return std::dynamic_pointer_cast<VXQTextLabel>(pasteboard->archivedObjectForType(kVXQTextLabelPasteboardType));
}

// --- Commands --------------------------------------------------------------------------------------

void VXQTextLabel::changeFont(QObject* sender)
{
    const platform::FontManager* manager = fontManagerOf(sender);
    changeAttributesBracketed([&] { m_adornment->changeFont(manager->convertFont(m_adornment->font())); });
    setUndoActionName(tr("Label Font Change"));
}

void VXQTextLabel::changeAttributes(QObject* sender)
{
    const platform::FontManager* manager = fontManagerOf(sender);
    changeAttributesBracketed([&] { m_adornment->changeAttributes(manager->convertAttributes(textAttributes())); });
    setUndoActionName(tr("Label Text Attributes"));
}

void VXQTextLabel::changeFontSize(QObject* sender)
{
    if (!sender)
        return;
    setFontSize(sender->property("floatValue").toDouble());
    setUndoActionName(tr("Label Font Size"));
}

void VXQTextLabel::changeTextCustomAttributes(QObject* sender)
{
    if (!sender)
        return;
    changeAttributesBracketed([&] {
        QMetaObject::invokeMethod(sender, "applyCustomAttributesToTextObject", Q_ARG(QObject*, static_cast<QObject*>(this)));
    });
}

void VXQTextLabel::editText(QObject*)
{
    if (VXDrawingView* view = focusedDrawingView())
        startEditingInView(view);
}

void VXQTextLabel::paste(QObject*)
{
    const platform::Pasteboard pasteboard = platform::Pasteboard::generalPasteboard();
    if (!canPasteText(pasteboard))
        return;
    if (const QString refusal = pasteTextFromPasteboardIgnoreFormatting(&pasteboard, false); !refusal.isEmpty())
        platform::presentUnpastableText(refusal, QApplication::activeWindow());
    else
        setUndoActionName(tr("Paste Text"));
}

void VXQTextLabel::pasteTextStyle(QObject*)
{
    const platform::Pasteboard pasteboard = platform::Pasteboard::generalPasteboard();
    const VXStylePtr style = VXStyle::styleFromPasteboard(pasteboard.mimeData());
    if (!style || !style->hasTextAttributes())
        return;
    setTextAttributes(style->textAttributes());
    setUndoActionName(tr("Paste Text Style"));
}

void VXQTextLabel::copy(QObject*)
{
    platform::Pasteboard pasteboard = platform::Pasteboard::generalPasteboard();
    copyToPasteboard(&pasteboard);
}

void VXQTextLabel::alignLeft(QObject*)
{
    setAlignment(0);
    setUndoActionName(tr("Align Label Left"));
}

void VXQTextLabel::alignRight(QObject*)
{
    setAlignment(1);
    setUndoActionName(tr("Align Label Right"));
}

void VXQTextLabel::alignCenter(QObject*)
{
    setAlignment(2);
    setUndoActionName(tr("Align Label Centre"));
}

void VXQTextLabel::alignJustified(QObject*)
{
    setAlignment(3);
    setUndoActionName(tr("Align Label Justified"));
}

void VXQTextLabel::underline(QObject*)
{
    changeAttributesBracketed([this] { m_adornment->setUnderlines(m_adornment->underlines() != 0 ? 0 : 1); });
    setUndoActionName(tr("Underline Label"));
}

void VXQTextLabel::capitalize(QObject* sender)
{
    changeAttributesBracketed([&] { m_adornment->setCapitalization(tagOf(sender)); });
    setUndoActionName(tr("Change Label Case"));
}

void VXQTextLabel::verticalAlign(QObject* sender)
{
    setVerticalAlignment(tagOf(sender));
    setUndoActionName(tr("Label Vertical Alignment"));
}

void VXQTextLabel::loosenKerning(QObject*)
{
    changeAttributesBracketed([this] { m_adornment->loosenKerning(); });
    setUndoActionName(tr("Loosen Kerning"));
}

void VXQTextLabel::tightenKerning(QObject*)
{
    changeAttributesBracketed([this] { m_adornment->tightenKerning(); });
    setUndoActionName(tr("Tighten Kerning"));
}

void VXQTextLabel::turnOffKerning(QObject*)
{
    changeAttributesBracketed([this] { m_adornment->turnOffKerning(); });
}

void VXQTextLabel::useStandardKerning(QObject*)
{
    changeAttributesBracketed([this] { m_adornment->useStandardKerning(); });
}

void VXQTextLabel::lowerBaseline(QObject*)
{
    changeAttributesBracketed([this] { m_adornment->lowerBaseline(); });
}

void VXQTextLabel::raiseBaseline(QObject*)
{
    changeAttributesBracketed([this] { m_adornment->raiseBaseline(); });
}

void VXQTextLabel::superscript(QObject*)
{
    changeAttributesBracketed([this] { m_adornment->superscript(); });
}

void VXQTextLabel::subscript(QObject*)
{
    changeAttributesBracketed([this] { m_adornment->subscript(); });
}

void VXQTextLabel::unscript(QObject*)
{
    changeAttributesBracketed([this] { m_adornment->unscript(); });
}

void VXQTextLabel::takeTextAlignmentFromSender(QObject* sender)
{
    setAlignment(selectedSegmentTagOf(sender));
}

void VXQTextLabel::takeTextVerticalAlignmentFromSender(QObject* sender)
{
    setVerticalAlignment(selectedSegmentTagOf(sender));
    setUndoActionName(tr("Vertical Alignment"));
}

void VXQTextLabel::delete_(QObject*)
{
    // The label loses its container, and with it the way to the undo manager.
    const QPointer<ZQUndoManager> undo = undoManager();
    const auto keepAlive = shared_from_this();
    VXQTextLabelContainer* owner = container();
    if (owner && isSelected())
        owner->selectTextLabelExtendingSelection(nullptr, false);
    notifyVisualChange();
    if (owner)
        owner->removeTextLabel(std::static_pointer_cast<VXQTextLabel>(keepAlive));
    if (undo && !undo->isUndoing() && !undo->isRedoing())
        undo->setActionName(tr("Delete Label"));
}

void VXQTextLabel::detachFromFeature(QObject*)
{
    auto* drawingLayer = qobject_cast<VXObjectDrawingLayer*>(layer());
    const std::shared_ptr<VXDrawableObject> textObject = drawingLayer ? convertToTextObject() : nullptr;
    VXQTextLabelContainer* owner = container();
    if (!textObject || !owner) {
        platform::Application::beep();
        return;
    }
    const auto keepAlive = std::static_pointer_cast<VXQTextLabel>(shared_from_this());
    owner->removeTextLabel(keepAlive);
    drawingLayer->recordSelectionForUndo();
    drawingLayer->addObject(textObject);
    drawingLayer->replaceSelectionWithObject(textObject);
    drawingLayer->commitSelectionUndoWithActionName(tr("Detach From Feature"));
}

// --- Menus -----------------------------------------------------------------------------------------

void VXQTextLabel::addEditingItemsToMenu(platform::Menu* menu, QAction* before)
{
    const auto add = [&](const QString& title, const QByteArray& action) {
        menu->insertAction(before, commandItem(title, action, menu));
    };
    add(tr("Edit Label"), "editText");
    add(tr("Delete Label"), "delete_");
    add(tr("Copy Label"), "copy");
    const platform::Pasteboard pasteboard = platform::Pasteboard::generalPasteboard();
    if (canPasteText(pasteboard))
        add(tr("Paste Text"), "paste");
    if (canPasteTextStyle(pasteboard))
        add(tr("Paste Text Style"), "pasteTextStyle");
}

void VXQTextLabel::populateContextualMenu(platform::Menu* menu)
{
    if (locked())
        return;
    QAction* const before = menu->actions().value(0);
    addEditingItemsToMenu(menu, before);

    auto* align = new platform::Menu(tr("Align"), menu);
    align->addAction(commandItem(tr("Left"), "alignLeft", align));
    align->addAction(commandItem(tr("Centre"), "alignCenter", align));
    align->addAction(commandItem(tr("Right"), "alignRight", align));
    align->addAction(commandItem(tr("Justified"), "alignJustified", align));
    menu->insertMenu(before, align);

    auto* vertical = new platform::Menu(tr("Vertical Alignment"), menu);
    vertical->addAction(commandItem(tr("Top"), "verticalAlign", vertical, 0));
    vertical->addAction(commandItem(tr("Middle"), "verticalAlign", vertical, 1));
    vertical->addAction(commandItem(tr("Bottom"), "verticalAlign", vertical, 2));
    vertical->addAction(commandItem(tr("Centred On Path"), "verticalAlign", vertical, 4));
    menu->insertMenu(before, vertical);

    menu->insertAction(before, commandItem(tr("Detach From Feature"), "detachFromFeature", menu));
    menu->addSeparator();
}

bool VXQTextLabel::validateMenuItem(platform::MenuItem* item)
{
    if (locked())
        return false;
    const QByteArray action = item->action();
    const auto stateFor = [](bool on) { return on ? platform::MenuItem::OnState : platform::MenuItem::OffState; };
    static const QList<QByteArray> alignments{"alignLeft", "alignRight", "alignCenter", "alignJustified"};
    if (const int index = int(alignments.indexOf(action)); index >= 0) {
        item->setState(stateFor(alignment() == index));
        return true;
    }
    if (action == "verticalAlign") {
        item->setState(stateFor(item->tag() == verticalAlignment()));
        return true;
    }
    if (action == "capitalize") {
        item->setState(stateFor(item->tag() == m_adornment->capitalization()));
        return true;
    }
    if (action == "underline") {
        if (m_adornment->underlines() == 0)
            item->setState(platform::MenuItem::OffState);
        else
            item->setState(m_adornment->attributeIsHomogeneous(platform::kUnderlineStyleAttributeName)
                               ? platform::MenuItem::OnState
                               : platform::MenuItem::MixedState);
        return true;
    }
    if (action == "paste")
        return canPasteText(platform::Pasteboard::generalPasteboard());
    if (action == "pasteTextStyle")
        return canPasteTextStyle(platform::Pasteboard::generalPasteboard());
    return respondsToSelector(action);
}

// --- In-place editing --------------------------------------------------------------------------------

bool VXQTextLabel::isEditing() const
{
    return editedLabel == this;
}

void VXQTextLabel::startEditingInView(VXDrawingView* view)
{
    if (!view || editedLabel)
        return;
    editedLabel = this;
    editingView = view;
    // A rectangle wider than the smallest editor keeps its width (with room for the cursor);
    // a narrower one grows with the text.
    QRectF area = editingTextBounds();
    platform::TextEditingOptions options;
    options.minimumSize = minSize();
    options.maximumSize = maxSize();
    options.returnCommits = true;
    if (area.width() > minSize().width() + 1.0)
        area.setWidth(area.width() + 10.0);
    else
        options.growsHorizontally = true;
    options.typingAttributes = textAttributes();
    const platform::AttributedString shown = textForEditingInPlace();
    textBeforeEditing = shown;
    view->editAttributedTextInRectDelegate(shown, area, this, font(), options);
    notifyVisualChange();
}

void VXQTextLabel::endEditing()
{
    if (isEditing() && editingView)
        editingView->endTextEditing();
}

platform::AttributedString VXQTextLabel::textForEditingInPlace() const
{
    return platform::substitutedText(text(), [this](const QString& key) { return metadataObjectForKey(key); });
}

void VXQTextLabel::attributedTextEditingDidEnd(const platform::AttributedString& edited, bool cancelled)
{
    if (!isEditing())
        return;
    editedLabel = nullptr;
    editingView = nullptr;
    // Text the edit left as it was keeps its placeholders. A font given to all of the text
    // while edited becomes the label's own, as a text box's does.
    if (!cancelled && edited != std::exchange(textBeforeEditing, {})) {
        changeAttributesBracketed([&] { m_adornment->setEditedLabel(edited); });
        textWasEdited();
        setUndoActionName(tr("Edit Label Text"));
    }
    notifyVisualChange();
}

// --- Rasterizer observer --------------------------------------------------------------------------------

void VXQTextLabel::rasterizerWillChangeKeyPath(VXRasterizer* rasterizer, const QString& keyPath)
{
    labelContentWillChange();
    ZQUndoManager* undo = undoManager();
    if (!undo || !m_recordsAdornmentChanges)
        return;
    platform::registerUndoForKey(undo, *rasterizer, keyPath, rasterizer->valueForKey(keyPath));
    if (!undo->isUndoing() && !undo->isRedoing())
        undo->setActionName(rasterizer->actionNameForKeyPathChangeKind(keyPath));
}

void VXQTextLabel::rasterizerDidChangeKeyPath(VXRasterizer*, const QString&)
{
    notifyVisualChange();
    labelContentDidChange();
}

// --- Copying and archiving --------------------------------------------------------------------------------

std::shared_ptr<ZQObject> VXQTextLabel::copy() const
{
    const auto made = std::dynamic_pointer_cast<VXQTextLabel>(platform::ClassRegistry::create(className()));
    ZQ_ASSERT(made, QStringLiteral("label class %1 is not registered").arg(className()));
    made->init();
    made->setTextAdornment(std::static_pointer_cast<VXTextAdornment>(m_adornment->copy()));
    return made;
}

void VXQTextLabel::encodeWithCoder(platform::KeyedArchiver& coder) const
{
    coder.encodeObject(m_adornment.get(), kAdornmentKey);
    coder.encodeConditionalObject(dynamic_cast<const ZQObject*>(m_containerObject.data()), kContainerKey);
}

void VXQTextLabel::initWithCoder(platform::KeyedUnarchiver& coder)
{
    const platform::ArchiveReader reader(coder);
    // Without its text the label is dropped once read (awakeAfterUsingCoder), but whoever reached
    // it meanwhile through its container holds it: it must measure and draw, so it gets an empty text.
    VXTextAdornmentPtr adornment = reader.object<VXTextAdornment>(kAdornmentKey);
    if (!adornment) {
        ZQLogObjCMethod(QStringLiteral("a label archived without its text is read empty"));
        adornment = makeTextAdornment();
    }
    setTextAdornment(adornment);
    const ZQObjectPtr owner = coder.decodeObject(kContainerKey);
    if (auto* labelContainer = dynamic_cast<VXQTextLabelContainer*>(owner.get()))
        setContainer(labelContainer);
    else if (owner && !qobject_cast<ZQMultiStylePath*>(owner.get())) // a path adopts its labels once read
        ZQLogObjCMethod(QStringLiteral("a %1 holds no labels; the label is read without its container")
                            .arg(owner->className()));
}

std::shared_ptr<ZQObject> VXQTextLabel::awakeAfterUsingCoder(platform::KeyedUnarchiver&)
{
    if (!m_adornment || m_adornment->string().isEmpty())
        return nullptr;
    return shared_from_this();
}
