// Every key a style pane or the editor's header observes reaches a bound display setter: a
// key without one would leave its control showing the previous component.

#include "style_editor/StyleEditorTesting.h"

#include "platform/vantrix/inspector/InspectorValues.h"
#include "style_editor/panes/StyleComponentPaneRegistry.h"
#include "style_editor/panes/table/StyleTablePane.h"
#include "support/DisplayBindingsTesting.h"

#include <gtest/gtest.h>

namespace {

using testsupport::unboundKeys;

TEST(StyleDisplayBindings, EveryKeyNotShownByARowIsBound)
{
    const QStringList names = StyleComponentPaneRegistry::registeredPaneNames();
    EXPECT_GE(names.size(), 20);
    for (const QString& name : names) {
        const std::shared_ptr<VLTMStyleComponentController> pane = StyleComponentPaneRegistry::paneFactoryNamed(name)();
        QStringList keyPaths = pane->keyPathsOfInterest();
        if (const auto* table = dynamic_cast<const StyleTablePane*>(pane.get()))
            for (const StylePaneRow& row : table->table())
                keyPaths.removeAll(row.keyPath);
        EXPECT_EQ(unboundKeys(*pane, keyPaths), QStringList()) << name.toStdString();
    }
}

TEST(StyleDisplayBindings, TheHeaderBindsEveryObservedStyleKey)
{
    const std::shared_ptr<VLTMStyleEditorController> editor = VLTMStyleEditorController::make();
    EXPECT_EQ(unboundKeys(*editor, VLTMStyleEditorController::styleObservingKeypaths()), QStringList());
}

} // namespace
