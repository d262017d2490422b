#pragma once

// Whether an object's quick answer to "do you draw with this style?" agrees with the list of
// styles it draws with, for each of `candidates` (some listed, some not).

#include "platform/vantrix/drawables/VXDrawableObject.h"
#include "platform/vantrix/styles/VXStyle.h"

#include <gtest/gtest.h>

namespace testsupport {

inline ::testing::AssertionResult usesExactlyTheStylesItLists(const VXDrawableObject& object,
                                                              const QList<VXStylePtr>& candidates)
{
    const QList<VXStylePtr> listed = object.allStyles();
    for (const VXStylePtr& style : candidates) {
        if (object.usesStyle(*style) != listed.contains(style))
            return ::testing::AssertionFailure()
                   << "style \"" << style->name().toStdString() << "\" is " << (listed.contains(style) ? "" : "not ")
                   << "listed, but usesStyle says " << object.usesStyle(*style);
    }
    return ::testing::AssertionSuccess();
}

} // namespace testsupport
