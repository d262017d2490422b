#pragma once

// The Style tab's header: the swatch, the style's name (read-only until renaming), the library
// line, the Editable and Shared boxes with their icons, the opacity field and stepper, Reset,
// Clone, and the add-component and style menus. It shows what it is told; its controls and
// menu items send their actions to the commands.

#include "platform/ui/Menu.h"
#include "platform/vantrix/styles/VXStyle.h"
#include "style_editor/swatch/VXQStyleImageView.h"

#include <QCheckBox>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QToolButton>

class StyleEditorCommands;
class VXDrawing;

class StyleEditorHeader : public QObject {
    Q_OBJECT

public:
    explicit StyleEditorHeader(StyleEditorCommands& commands);

    // Built once; the caller's layout takes it.
    QWidget* makeView();

    // --- States -------------------------------------------------------------------------------
    // Nothing to edit: every control off, the name and library line empty.
    void showNoStyle();
    // Several styles: the name says so and the flags are off; Reset stays on.
    void showMultipleStyles();
    // The swatch and controls of a newly shown style; a locked library leaves its components
    // and flags alone.
    void showStyle(const VXStylePtr& style, bool editableByLibrary);
    // "Ad-Hoc Style" or the library holding it, "(Text Only)", and how many of the drawing's
    // objects use it when more than one does. Answers whether the library allows changes.
    bool showLibraryLine(const VXStyle& style, const VXDrawing* drawing);

    void setName(const QString& name);
    void setOpacity(double opacity);
    // The Editable box and the controls that change the style.
    void showEditable(bool editable);
    void setStyleSharable(bool sharable);
    // The Shared box shows only while styles can be shared.
    void showSharingAvailable(bool available);

    // Renaming makes the name field editable, focused and selected.
    void setRenamingMode(bool renaming);
    bool renamingModeActive() const { return m_renamingModeActive; }

    // --- Widgets ------------------------------------------------------------------------------
    QLineEdit* nameField() const { return m_styleNameTextView; }
    QLabel* libraryInfoField() const { return m_libraryInfoTextView; }
    VXQStyleImageView* previewView() const { return m_stylePreviewImageWell; }
    QCheckBox* editableCheckbox() const { return m_editableCheckbox; }
    QCheckBox* sharedCheckbox() const { return m_sharedCheckbox; }
    QLabel* lockedLibraryIconView() const { return m_lockedLibraryIconView; }
    QLineEdit* opacityField() const { return m_masterOpacityTextField; }
    QDoubleSpinBox* opacityStepper() const { return m_masterOpacityStepper; }
    QPushButton* resetButton() const { return m_resetButton; }
    QPushButton* cloneButton() const { return m_cloneButton; }
    QToolButton* componentMenuButton() const { return m_componentMenuPopUp; }
    platform::Menu* componentMenu() const { return m_componentMenu; }
    QToolButton* actionMenuButton() const { return m_actionMenuPopUp; }
    platform::Menu* actionMenu() const { return m_actionMenu; }
    QMenu* userLibrariesMenu() const { return m_userLibrariesListMenu; }

protected:
    // A double click on the name starts renaming; leaving the field ends it.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void fillComponentMenu();
    void fillActionMenu();

    StyleEditorCommands& m_commands;
    QPointer<QLineEdit> m_styleNameTextView;
    QPointer<QLabel> m_libraryInfoTextView;
    QPointer<QToolButton> m_actionMenuPopUp;
    QPointer<platform::Menu> m_actionMenu;
    QPointer<QToolButton> m_componentMenuPopUp;
    QPointer<platform::Menu> m_componentMenu;
    QPointer<VXQStyleImageView> m_stylePreviewImageWell;
    QPointer<QCheckBox> m_editableCheckbox;
    QPointer<QCheckBox> m_sharedCheckbox;
    QPointer<QLabel> m_editableIconView;
    QPointer<QLabel> m_sharedIconView;
    QPointer<QLabel> m_lockedLibraryIconView;
    QPointer<QLineEdit> m_masterOpacityTextField;
    QPointer<QDoubleSpinBox> m_masterOpacityStepper;
    QPointer<QPushButton> m_resetButton;
    QPointer<QPushButton> m_cloneButton;
    QPointer<QMenu> m_userLibrariesListMenu;
    bool m_renamingModeActive = false;
};
