#pragma once

#include "app/document/ZQQuorvaneDocument.h"
#include "platform/vantrix/styles/VXStyle.h"
#include "platform/vantrix/svg/VXSVGPreview.h"
#include "platform/vantrix/text/AbbreviationTable.h"
#include "platform/vantrix/text/VXTextAdornment.h"
#include "platform/vantrix/tools/ToolRegistryScope.h"
#include "platform/vantrix/tools/VXToolController.h"
#include "platform/vantrix/view/VXDrawingView.h"
#include "support/SettingScope.h"

namespace testsupport {

// Puts back, on any exit, the class settings an application launch changes for the whole
// process: style settings, the tool registry, the view and tool-controller flags, the quality
// modulation default, the SVG thumbnail folder and the abbreviation table. The renamed archive
// classes it maps stay: they only let old archives decode.
class LaunchSettingsScope {
public:
    // User-provided: clang leaves a const scope without one uninitialized as a fixture's member.
    LaunchSettingsScope() {}

private:
    using Flag = SettingScope<bool (*)(), void (*)(bool)>;
    using Abbreviations = std::shared_ptr<const platform::AbbreviationTable>;

    const VXStyle::SettingsScope m_styleSettings;
    const ToolRegistryScope m_tools;
    const Flag m_createsOwnDrawing{&VXDrawingView::createsOwnDrawing, &VXDrawingView::setCreatesOwnDrawing};
    const Flag m_activatesLayer{&VXToolController::toolsAutoActivateValidLayer,
                                &VXToolController::setToolsAutoActivateValidLayer};
    const Flag m_qualityModulation{&ZQQuorvaneDocument::defaultQualityModulation,
                                   &ZQQuorvaneDocument::setDefaultQualityModulation};
    const SettingScope<QString (*)(), void (*)(const QString&)> m_thumbnails{&VXSVGPreview::cacheFolder,
                                                                             &VXSVGPreview::setCacheFolder};
    const SettingScope<Abbreviations (*)(), void (*)(const Abbreviations&)> m_abbreviations{
        &VXTextAdornment::abbreviationTable, [](const Abbreviations& table) {
            VXTextAdornment::setAbbreviationTable(table ? *table : platform::AbbreviationTable());
        }};
};

} // namespace testsupport
