#include "LabelFixture.h"

#include "platform/foundation/KeyedArchiver.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/foundation/ZQAssert.h"
#include "platform/ui/Menu.h"
#include "platform/ui/Pasteboard.h"
#include "platform/vantrix/drawables/VXTextShape.h"
#include "platform/vantrix/view/VXDrawingView.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <QTextEdit>

#include <gtest/gtest.h>

using namespace labeltest;

namespace {

struct Labelled : Drawing {
    std::shared_ptr<VXQTextBlockLabel> label = adopt(VXQTextBlockLabel::label());
};

// What the label's commands change, for comparing before and after.
QVariantList stateOf(const VXQTextLabel& label)
{
    const VXTextAdornment& adornment = *label.textAdornment();
    return {adornment.textAttributes(), adornment.alignment(), adornment.verticalAlignment(),
            adornment.capitalization(), label.text().string()};
}

std::unique_ptr<platform::MenuItem> itemWithTag(int tag, const QByteArray& action = {})
{
    auto item = std::make_unique<platform::MenuItem>(QString(), action);
    item->setTag(tag);
    return item;
}

QStringList titlesOf(const platform::Menu& menu)
{
    QStringList titles;
    for (const QAction* action : menu.actions())
        titles.append(action->isSeparator() ? QStringLiteral("-") : action->text());
    return titles;
}

} // namespace

TEST(TextLabel, EveryCommandIsOneNamedStepThatUndoesAndRedoes)
{
    Labelled map;
    QObject size;
    size.setProperty("floatValue", 20.0);
    const auto upper = itemWithTag(1);
    const auto bottom = itemWithTag(2);
    struct Command {
        QString actionName;
        std::function<void()> run;
    };
    const QList<Command> commands{
        {"Align Label Right", [&] { map.label->alignRight(); }},
        {"Align Label Centre", [&] { map.label->alignCenter(); }},
        {"Align Label Justified", [&] { map.label->alignJustified(); }},
        {"Align Label Left", [&] { map.label->alignLeft(); }},
        {"Underline Label", [&] { map.label->underline(); }},
        {"Change Label Case", [&] { map.label->capitalize(upper.get()); }},
        {"Label Vertical Alignment", [&] { map.label->verticalAlign(bottom.get()); }},
        {"Loosen Kerning", [&] { map.label->loosenKerning(); }},
        {"Tighten Kerning", [&] { map.label->tightenKerning(); }},
        {"Label Font Size", [&] { map.label->changeFontSize(&size); }},
        {"Baseline", [&] { map.label->raiseBaseline(); }},
        {"Label Placement", [&] { map.label->setPlacement(6); }},
        {"Text Colour", [&] { map.label->setTextColour(Qt::red); }},
    };
    for (const Command& command : commands) {
        SCOPED_TRACE(command.actionName.toStdString());
        const QVariantList before = stateOf(*map.label);
        const int changes = map.host->contentChanges;
        map.step(command.run);
        const QVariantList after = stateOf(*map.label);
        EXPECT_NE(before, after);
        EXPECT_GT(map.host->contentChanges, changes);
        EXPECT_EQ(map.undo->undoActionName(), command.actionName);
        map.undo->undo();
        EXPECT_EQ(stateOf(*map.label), before);
        map.undo->redo();
        EXPECT_EQ(stateOf(*map.label), after);
    }
    EXPECT_EQ(map.label->textAdornment()->underlines(), 1);
    EXPECT_EQ(map.label->fontSize(), 20.0);
}

TEST(TextLabel, TextAttributesAreOneStepOfTheirOwnAndBracketed)
{
    Labelled map;
    const QVariantMap before = map.label->textAttributes();
    QVariantMap wanted = before;
    QFont font = map.label->font();
    font.setPointSizeF(24);
    wanted.insert(platform::kFontAttributeName, font);
    wanted.insert(platform::kForegroundColourAttributeName, QColor(Qt::blue));
    const int attributeChanges = map.host->attributeChanges;
    map.step([&] { map.label->setTextAttributes(wanted); });
    EXPECT_EQ(map.host->attributeChanges, attributeChanges + 1);
    EXPECT_EQ(map.label->fontSize(), 24.0);
    EXPECT_EQ(map.label->textColour(), QColor(Qt::blue));
    EXPECT_EQ(map.undo->numberOfUndoActions(), 1);
    map.undo->undo();
    EXPECT_EQ(map.label->textAttributes(), before);
    EXPECT_EQ(map.undo->numberOfRedoActions(), 1);
    map.undo->redo();
    EXPECT_EQ(map.label->fontSize(), 24.0);
    map.undo->undo();

    // A text style on the pasteboard pastes its attributes in one step.
    QFont styleFont(QStringLiteral("Helvetica"), 30);
    auto* data = new QMimeData;
    VXStyle::textStyleWithFont(styleFont)->copyToPasteboard(data);
    QGuiApplication::clipboard()->setMimeData(data);
    ASSERT_TRUE(VXQTextLabel::canPasteTextStyle(platform::Pasteboard::generalPasteboard()));
    map.step([&] { map.label->pasteTextStyle(); });
    EXPECT_EQ(map.label->fontSize(), 30.0);
    EXPECT_EQ(map.undo->undoActionName(), QStringLiteral("Paste Text Style"));
    map.undo->undo();
    EXPECT_EQ(map.label->textAttributes(), before);
}

TEST(TextLabel, PasteTextPrefersHTMLAndCanDropFormatting)
{
    Labelled map;
    auto* data = new QMimeData;
    data->setHtml(QStringLiteral("<p><b>Old</b> Town<img src=\"/etc/passwd\"></p><p>Quay</p>"));
    data->setText(QStringLiteral("plain"));
    QGuiApplication::clipboard()->setMimeData(data);
    map.step([&] { map.label->paste(nullptr); });
    EXPECT_EQ(map.label->text().string(), QStringLiteral("Old Town\nQuay"));
    EXPECT_TRUE(map.label->textAdornment()->labelText().attributeAtIndexEffectiveRange(platform::kFontAttributeName, 0)
                    .value<QFont>()
                    .bold());
    EXPECT_EQ(map.undo->undoActionName(), QStringLiteral("Paste Text"));
    map.undo->undo();
    EXPECT_EQ(map.label->text().string(), QStringLiteral("%%name"));

    QMimeData plain;
    plain.setText(QStringLiteral("North Pier"));
    platform::Pasteboard pasteboard(&plain);
    map.label->pasteTextFromPasteboardIgnoreFormatting(&pasteboard, true);
    EXPECT_EQ(map.label->text().string(), QStringLiteral("North Pier"));

    QMimeData nothing;
    const platform::Pasteboard empty(static_cast<const QMimeData*>(&nothing));
    EXPECT_FALSE(VXQTextLabel::canPasteText(empty));
    map.label->pasteTextFromPasteboardIgnoreFormatting(&empty, false);
    EXPECT_EQ(map.label->text().string(), QStringLiteral("North Pier"));
    EXPECT_NO_THROW(map.label->pasteTextFromPasteboardIgnoreFormatting(nullptr, false));
    EXPECT_EQ(map.label->text().string(), QStringLiteral("North Pier"));
}

TEST(TextLabel, PasteboardCarriesTheLabelThenItsTextAndRefusesAnythingElse)
{
    Labelled map;
    map.label->setText(QStringLiteral("Ferry"));
    map.label->setFontSize(17);
    map.label->setTextColour(Qt::darkGreen);
    map.label->setPlacement(7);
    QMimeData data;
    platform::Pasteboard pasteboard(&data);
    map.label->copyToPasteboard(&pasteboard);
    EXPECT_EQ(pasteboard.types(), (QStringList{kVXQTextLabelPasteboardType, platform::kPasteboardTypeString}));
    EXPECT_EQ(pasteboard.stringForType(platform::kPasteboardTypeString), QStringLiteral("Ferry"));
    EXPECT_TRUE(TextLabelCollection::canPasteLabel(pasteboard));

    const auto pasted = std::dynamic_pointer_cast<VXQTextBlockLabel>(VXQTextLabel::labelWithPasteboard(&pasteboard));
    ASSERT_TRUE(pasted);
    EXPECT_EQ(pasted->container(), nullptr);
    EXPECT_EQ(pasted->text().string(), QStringLiteral("Ferry"));
    EXPECT_EQ(pasted->textAttributes(), map.label->textAttributes());
    EXPECT_EQ(pasted->placement(), 7);

    const QByteArray archive = pasteboard.dataForType(kVXQTextLabelPasteboardType);
    const QList<QByteArray> refused{
        QByteArray("not an archive at all"),
        archive.left(archive.size() / 2),
        QByteArray(8 * 1024 * 1024, '\x7f'),
        platform::KeyedArchiver::archivedDataWithRootObject(std::make_shared<VXQLabelLeaderLine>().get()),
    };
    for (const QByteArray& bytes : refused) {
        QMimeData bad;
        platform::Pasteboard badPasteboard(&bad);
        badPasteboard.declareTypes({kVXQTextLabelPasteboardType});
        badPasteboard.setDataForType(bytes, kVXQTextLabelPasteboardType);
        EXPECT_FALSE(VXQTextLabel::labelWithPasteboard(&badPasteboard));
    }
    EXPECT_THROW(VXQTextLabel::labelWithPasteboard(nullptr), platform::AssertionFailure);
    EXPECT_NO_THROW(map.label->copyToPasteboard(nullptr)); // a command: logged, nothing copied
}

TEST(TextLabel, DeleteAndDetachAreUndoable)
{
    Labelled map;
    map.label->setText(QStringLiteral("Old Mill"));
    map.host->selectTextLabelExtendingSelection(map.label.get(), false);
    map.step([&] { map.label->delete_(nullptr); });
    EXPECT_TRUE(map.host->textLabels().isEmpty());
    EXPECT_TRUE(map.host->selectedTextLabels().isEmpty());
    EXPECT_EQ(map.label->container(), nullptr);
    EXPECT_EQ(map.undo->undoActionName(), QStringLiteral("Delete Label"));
    map.undo->undo();
    ASSERT_EQ(map.host->textLabels().size(), 1);
    EXPECT_EQ(map.label->container(), map.host.get());
    EXPECT_TRUE(map.host->selectedTextLabels().isEmpty());

    map.label->setAngle(0.3);
    map.step([&] { map.label->detachFromFeature(); });
    EXPECT_TRUE(map.host->textLabels().isEmpty());
    ASSERT_EQ(map.layer->objects().size(), 2);
    const auto text = std::dynamic_pointer_cast<VXTextShape>(map.layer->objects().last());
    ASSERT_TRUE(text);
    EXPECT_EQ(text->string(), QStringLiteral("Old Mill"));
    EXPECT_EQ(text->angle(), 0.3);
    EXPECT_TRUE(text->textAdornment()->appliesObjectAngle());
    EXPECT_EQ(map.undo->undoActionName(), QStringLiteral("Detach From Feature"));
    map.undo->undo();
    EXPECT_EQ(map.layer->objects().size(), 1);
    EXPECT_EQ(map.host->textLabels().size(), 1);
}

TEST(TextLabel, ALabelWhoseContainerHasGoneStillTakesCommands)
{
    auto label = VXQTextBlockLabel::label();
    {
        auto host = std::make_shared<Host>();
        host->reference = QPointF(10, 10);
        host->addTextLabel(label);
        ASSERT_EQ(label->container(), host.get());
    }
    EXPECT_EQ(label->container(), nullptr);
    label->alignCenter();
    label->setPlacement(4);
    label->setFreePosition({3, 4});
    label->toggleLeaderLineVisible();
    label->sizeToHost();
    label->delete_(nullptr);
    label->detachFromFeature();
    EXPECT_EQ(label->alignment(), 1);
    EXPECT_EQ(label->placement(), 11);
    EXPECT_EQ(label->labelOrigin(), QPointF(3, 4));
    EXPECT_TRUE(std::isfinite(label->bounds().width()));
    EXPECT_FALSE(label->locked());
}

TEST(TextLabelCollection, SelectionPostsEveryChangeAndFollowsTheModifierRules)
{
    Labelled map;
    const auto second = map.adopt(VXQTextBlockLabel::label());
    int posts = 0;
    QObject observer;
    platform::NotificationCenter::defaultCenter().addObserver(
        &observer, kVXQTextLabelSelectionDidChange, map.host.get(), [&](const platform::Notification&) { ++posts; });
    Host& host = *map.host;
    host.selectTextLabelExtendingSelection(map.label.get(), false);
    host.selectTextLabelExtendingSelection(second.get(), true);
    EXPECT_EQ(host.selectedTextLabels(), (QList<VXQTextLabelPtr>{map.label, second}));
    EXPECT_TRUE(map.label->isSelected());
    host.deselectTextLabel(map.label.get());
    host.deselectTextLabel(map.label.get()); // not selected: no change, no post
    host.selectTextLabelExtendingSelection(nullptr, true); // nothing at all
    EXPECT_EQ(posts, 3);
    host.selectAllTextLabels();
    host.deselectAllTextLabels();
    EXPECT_EQ(posts, 5);

    host.labels.mouseDownOnLabel(map.label.get(), Qt::NoModifier);
    host.labels.mouseDownOnLabel(second.get(), Qt::ShiftModifier);
    EXPECT_EQ(host.selectedTextLabels().size(), 2);
    host.labels.mouseDownOnLabel(second.get(), Qt::ControlModifier); // Command on a selected label
    EXPECT_EQ(host.selectedTextLabels(), QList<VXQTextLabelPtr>{map.label});
    host.labels.mouseDownOnLabel(second.get(), Qt::NoModifier);
    EXPECT_EQ(host.selectedTextLabels(), QList<VXQTextLabelPtr>{second});
    EXPECT_EQ(posts, 9);
}

TEST(TextLabelCollection, PartCodesMenuValidationAndForwarding)
{
    Labelled map;
    map.host->reference = QPointF(100, 100);
    const auto second = map.adopt(VXQTextBlockLabel::label());
    map.label->setPlacement(9);
    second->setFreePosition({0, 80});
    TextLabelCollection& labels = map.host->labels;
    EXPECT_EQ(labels.partcodeHit(map.label->labelRect().topLeft() + QPointF(2, 2)), 4);
    EXPECT_EQ(labels.partcodeHit(map.label->rotationKnobPoint()), 7);
    EXPECT_EQ(labels.partcodeHit(second->labelRect().center()), 8);
    EXPECT_EQ(labels.labelForPartcode(8), second.get());
    EXPECT_EQ(labels.labelForPartcode(11), second.get());
    EXPECT_EQ(labels.labelForPartcode(12), nullptr);
    EXPECT_EQ(labels.labelForPartcode(0), nullptr);
    EXPECT_EQ(map.host->textLabelAtPoint(second->labelRect().center()), second.get());
    map.host->setLabelsHidden(true);
    EXPECT_EQ(labels.partcodeHit(second->labelRect().center()), 0);
    EXPECT_EQ(map.host->textLabelBounds().size(), 2);
    map.host->setLabelsHidden(false);

    platform::MenuItem left(QString(), "alignLeft");
    EXPECT_FALSE(labels.validateLabelMenuItem(&left));
    EXPECT_EQ(left.state(), platform::MenuItem::OffState);
    map.host->selectAllTextLabels();
    EXPECT_TRUE(labels.validateLabelMenuItem(&left));
    EXPECT_EQ(left.state(), platform::MenuItem::MixedState); // placement 9 centred the first label
    map.host->performSelector("alignLeft", {QVariant::fromValue<QObject*>(&left)});
    EXPECT_EQ(map.label->alignment(), 0);
    EXPECT_TRUE(labels.validateLabelMenuItem(&left));
    EXPECT_EQ(left.state(), platform::MenuItem::OnState);
    // An item the labels take no state on keeps none (a state would show a check box).
    platform::MenuItem copyStyle(QString(), "copyDrawingStyle");
    labels.validateLabelMenuItem(&copyStyle);
    EXPECT_FALSE(copyStyle.isCheckable());
    map.host->deselectAllTextLabels();
    labels.validateLabelMenuItem(&copyStyle);
    EXPECT_FALSE(copyStyle.isCheckable());
    map.host->setLocked(true);
    EXPECT_FALSE(labels.validateLabelMenuItem(&left));
}

TEST(TextLabel, ContextualMenusFollowTheLockAndTheLeaderLine)
{
    Labelled map;
    QGuiApplication::clipboard()->clear();
    platform::Menu menu;
    menu.addAction(QStringLiteral("Shape Item"));
    map.label->populateContextualMenu(&menu);
    EXPECT_EQ(titlesOf(menu), (QStringList{"Edit Label", "Delete Label", "Copy Label", "Detach From Feature", "-",
                                           "Size To Feature", "Show Leader Line", "-", "Shape Item"}));

    platform::Menu baseMenu;
    map.label->VXQTextLabel::populateContextualMenu(&baseMenu);
    EXPECT_EQ(titlesOf(baseMenu), (QStringList{"Edit Label", "Delete Label", "Copy Label", "Align",
                                               "Vertical Alignment", "Detach From Feature", "-"}));

    // Underlining part of the text shows as mixed.
    platform::MenuItem underline(QString(), "underline");
    map.label->textAdornment()->setUnderlines(1);
    platform::AttributedString partly(QStringLiteral("Old Town"));
    partly.addAttributeValueRange(platform::kUnderlineStyleAttributeName, 0, {0, 3});
    map.label->setText(QVariant::fromValue(partly));
    EXPECT_TRUE(map.label->validateMenuItem(&underline));
    EXPECT_EQ(underline.state(), platform::MenuItem::MixedState);
    map.label->setText(QStringLiteral("Old Town"));
    map.label->validateMenuItem(&underline);
    EXPECT_EQ(underline.state(), platform::MenuItem::OnState);
    map.label->underline();
    map.label->validateMenuItem(&underline);
    EXPECT_EQ(underline.state(), platform::MenuItem::OffState);

    map.host->setLocked(true);
    platform::Menu lockedMenu;
    map.label->populateContextualMenu(&lockedMenu);
    EXPECT_TRUE(lockedMenu.actions().isEmpty());
    platform::MenuItem align(QString(), "alignLeft");
    EXPECT_FALSE(map.label->validateMenuItem(&align));
}

TEST(TextLabel, EditingInPlaceChangesTheTextOnlyWhenCommittedAndChanged)
{
    Labelled map;
    VXDrawingView view;
    view.setDrawing(map.drawing);
    map.label->setText(QStringLiteral("Dock"));
    map.undo->removeAllActions();

    map.label->startEditingInView(&view);
    ASSERT_TRUE(view.textEditor());
    EXPECT_TRUE(map.label->isEditing());
    EXPECT_EQ(view.textEditor()->toPlainText(), QStringLiteral("Dock"));
    auto other = VXQTextBlockLabel::label();
    other->startEditingInView(&view); // one edit at a time
    EXPECT_FALSE(other->isEditing());
    view.textEditor()->setPlainText(QStringLiteral("Dry Dock"));
    map.step([&] { map.label->endEditing(); });
    EXPECT_FALSE(map.label->isEditing());
    EXPECT_EQ(map.label->text().string(), QStringLiteral("Dry Dock"));
    EXPECT_EQ(map.undo->undoActionName(), QStringLiteral("Edit Label Text"));

    map.label->startEditingInView(&view);
    view.textEditor()->setPlainText(QStringLiteral("Wet Dock"));
    view.cancelTextEditing();
    map.label->startEditingInView(&view);
    map.step([&] { view.endTextEditing(); });
    EXPECT_EQ(map.label->text().string(), QStringLiteral("Dry Dock"));
    EXPECT_EQ(map.undo->numberOfUndoActions(), 1);
}

TEST(TextLabelCollection, ContextMenuPutsTheContainerItemsAboveTheHitLabels)
{
    Labelled map;
    map.host->reference = QPointF(100, 100);
    map.label->setPlacement(9);
    const QPointF onLabel = map.label->labelRect().center();
    QMimeData data;
    platform::Pasteboard copied(&data);
    map.label->copyToPasteboard(&copied);
    QGuiApplication::clipboard()->setMimeData(new QMimeData);

    platform::Menu menu;
    map.host->labels.addTextItemsToMenuAtPoint(&menu, onLabel, true);
    EXPECT_EQ(titlesOf(menu), (QStringList{"New Label", "Hide Labels", "-", "Edit Label", "Delete Label", "Copy Label",
                                           "Detach From Feature", "-", "Size To Feature", "Show Leader Line", "-"}));
    EXPECT_EQ(qobject_cast<platform::MenuItem*>(menu.actions().first())->target(), map.host.get());

    auto* withLabel = new QMimeData;
    withLabel->setData(platform::mimeTypeForPasteboardType(kVXQTextLabelPasteboardType),
                       copied.dataForType(kVXQTextLabelPasteboardType));
    QGuiApplication::clipboard()->setMimeData(withLabel);
    map.host->setLabelsHidden(true);
    platform::Menu away;
    map.host->labels.addTextItemsToMenuAtPoint(&away, onLabel, true); // hidden labels are not hit
    EXPECT_EQ(titlesOf(away), (QStringList{"New Label", "Paste Label", "Show Labels", "-"}));

    map.host->setLocked(true);
    platform::Menu locked;
    map.host->labels.addTextItemsToMenuAtPoint(&locked, onLabel, true);
    EXPECT_TRUE(locked.actions().isEmpty());
    map.host->labels.addTextItemsToMenuAtPoint(&locked, onLabel, false);
    EXPECT_EQ(locked.actions().size(), 4);
}
