#pragma once

// The text-label state a multi-style path keeps on behalf of the label side, which gives it
// its behaviour: the labels and the selected ones, whether they are hidden, whether dynamic
// label templates are on, and the length along the path where the next label goes (negative
// while unset). The path archives the labels and the two flags.

#include "platform/foundation/ZQObject.h"

#include <QList>
#include <QStringList>
#include <memory>

struct TextLabelFields {
    QList<ZQObjectPtr> labels;
    QList<ZQObjectPtr> selectedLabels;
    bool hidden = false;
    bool dynamicTemplatesEnabled = false;
    double locationForAdding = -1;
    // What the label side keeps with the path (see PathTextLabels); never archived or copied.
    mutable std::shared_ptr<void> behaviour;

    // What each label answers to "searchableString", for those that answer it.
    QStringList searchableStrings() const
    {
        QStringList strings;
        for (const ZQObjectPtr& label : labels)
            if (label->respondsToSelector("searchableString"))
                strings.append(label->performSelector("searchableString").toString());
        return strings;
    }
};
