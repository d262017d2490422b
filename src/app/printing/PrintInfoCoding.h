#pragma once

// Print settings as a property-list dictionary, for the document package and the user
// defaults. Reading checks every value: a dictionary with a missing, non-finite or absurd
// size or margin answers nothing.

#include <QPageLayout>
#include <QVariantMap>
#include <optional>

class PrintInfoCoding {
public:
    // Paper larger than this (points) is taken for damage.
    static constexpr double kMaximumPaperSide = 100000.0;

    static QVariantMap propertyList(const QPageLayout& layout);
    static std::optional<QPageLayout> pageLayout(const QVariant& propertyList);
};
