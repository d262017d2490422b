#pragma once

// What the Style tab's controls and menus do. The header's buttons, boxes and menu items send
// their actions here, and menu validation asks here: adding and pasting components, giving
// the selection a style (reset, clone, a dropped swatch, a library's copy), the Editable and
// Shared flags, opacity, renaming, the user libraries, collapsing the stack, display units and
// help. Each edit registers its undo with the document and names it.
//
// The commands act on the editor through its public interface; they keep no state of their own.

#include "platform/ui/Menu.h"
#include "platform/vantrix/styles/VXStyle.h"

#include <QObject>

class QMenu;
class QMimeData;
class VLTMStyleEditorController;

class StyleEditorCommands : public QObject {
    Q_OBJECT

public:
    explicit StyleEditorCommands(VLTMStyleEditorController& editor);

    // The component class of an add-component menu tag; null for a tag without one.
    static const QMetaObject* componentClassForTag(int tag);
    // Every tag with a component class, in menu order.
    static QList<int> componentTags();
    // Whether the data holds a component, and its display name.
    static bool canPasteComponentFromName(const QMimeData* data, QString* name = nullptr);

    Q_INVOKABLE void addComponentWithTagOfSenderAction(QObject* sender);
    Q_INVOKABLE void addComponentAction(QObject* sender);
    // Beeps and logs when the tag names no class or no unlocked style is shown.
    void addComponentForTag(int tag);
    Q_INVOKABLE void pasteComponentAction(QObject* sender);

    // Every selected object gets the style (or the equivalent the framework attaches); the
    // editor then shows it and posts kVXStyleInspectorDidCreateNewStyle.
    void applyStyleToSelection(const VXStylePtr& style);
    Q_INVOKABLE void resetStyleAction(QObject* sender);
    Q_INVOKABLE void cloneStyleAction(QObject* sender);
    // A style dropped on the swatch goes to the selection.
    Q_INVOKABLE void styleWellAction(QObject* sender);

    Q_INVOKABLE void editableAction(QObject* sender);
    Q_INVOKABLE void sharedAction(QObject* sender);
    // Clamped to 0...1; unreadable text shows the style's opacity again.
    Q_INVOKABLE void masterOpacityAction(QObject* sender);
    Q_INVOKABLE void renameAction(QObject* sender);
    void handleNameDoubleClick();
    // Ends renaming; an empty name keeps the old one.
    Q_INVOKABLE void nameFieldAction(QObject* sender);

    Q_INVOKABLE void addToLibraryAction(QObject* sender);
    Q_INVOKABLE void revealInLibraryAction(QObject* sender);
    Q_INVOKABLE void resetStyleNumberingAction(QObject* sender);
    // One checkable item per user library, the default one checked.
    void populateMenuOfUserLibraries(QMenu* menu);
    Q_INVOKABLE void defaultLibrarySelectAction(QObject* sender);

    Q_INVOKABLE void collapseAllAction(QObject* sender);
    Q_INVOKABLE void expandAllAction(QObject* sender);
    Q_INVOKABLE void toggleDrawingUnitsDisplayAction(QObject* sender);
    Q_INVOKABLE void styleEditorHelpAction(QObject* sender);

    Q_INVOKABLE bool validateMenuItem(platform::MenuItem* item);

private:
    // Names the undo step the edit just registered.
    void nameUndo(const QString& name) const;

    VLTMStyleEditorController& m_editor;
};
