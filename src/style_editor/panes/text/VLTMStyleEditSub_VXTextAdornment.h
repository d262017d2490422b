#pragma once

// The pane of a style's text: the label template typed in a field or chosen from the standard
// tags, the angle and whether the text is clipped to the path. The text's attributes (font,
// colour, layout...) are edited by the text pane of the object inspectors, which that library
// installs here with setTextControllerFactory; the pane is its data source and locks it with
// the component.

#include "style_editor/panes/table/StyleTablePane.h"

#include <QComboBox>
#include <QLineEdit>
#include <functional>

class VLTMStyleEditSub_VXTextAdornment : public StyleTablePane {
    Q_OBJECT

public:
    // Each key shown through a setter, bound to it.
    const platform::DisplayBindings& displayBindings() const override;
    // The templates of the standard-tags menu, its items 1 to 5; the item tagged -1 stands
    // for any other text.
    static const QStringList& standardTags();
    static constexpr int kNoStandardTag = -1;
    // The menu item a text selects: a standard tag however it is capitalised, else kNoStandardTag.
    static int standardTagForString(const QString& string);

    using TextControllerFactory = std::function<std::shared_ptr<VLTMGenericObjectController>()>;
    // Installed once by the library that has the text pane; empty removes it.
    static void setTextControllerFactory(TextControllerFactory factory);

    VLTMStyleEditSub_VXTextAdornment();
    ~VLTMStyleEditSub_VXTextAdornment() override;

    const QMetaObject* managedObjectClass() const override;
    QString helpIdentifier() const override { return QStringLiteral("label-template"); }
    StylePaneTable table() const override;
    QStringList customKeyPaths() const override { return {QStringLiteral("string"), QStringLiteral("label")}; }

    QLineEdit* stringField() { view(); return m_stringField; }
    QComboBox* standardTagsPopUp() { view(); return m_standardTags; }
    // The embedded text pane; null without a factory.
    VLTMGenericObjectController* textController() { view(); return m_textController.get(); }

    void setString(const QVariant& string);
    // Shown through "string".
    void setLabel(const QVariant&) {}
    void setMixedValueForString();
    Q_INVOKABLE void stringFieldAction(QObject* sender);
    Q_INVOKABLE void standardTagAction(QObject* sender);

    void setStatesForLockEnabled(bool locked, bool enabled) override;
    void newObjectWasAssigned() override;

protected:
    void addCustomControls(QFormLayout& form) override;
    void setCustomStates(bool mayEdit) override;

private:
    class TextControllerSource;

    QPointer<QLineEdit> m_stringField;
    QPointer<QComboBox> m_standardTags;
    std::shared_ptr<VLTMGenericObjectController> m_textController;
    std::unique_ptr<TextControllerSource> m_textSource;
};
