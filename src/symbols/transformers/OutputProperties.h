#pragma once

// What a class offers data transformers to write: its output properties, the bin data types
// each accepts and their display names. A class states them as class information under
// built names, so any subclass can add its own:
//   Q_CLASSINFO("acceptableTypesForScaleFactor", "4")       data type codes, blank-separated
//   Q_CLASSINFO("displayNameForScaleFactor", "Scale Factor")  translated in the class's context

#include <QList>
#include <QMetaObject>
#include <QString>
#include <QStringList>
#include <QVariantMap>

namespace outputproperties {

// The codes the class accepts for `property`; empty when it names none.
QList<int> acceptableTypesForProperty(const QMetaObject& metaObject, const QString& property);
// Empty when the class names none.
QString displayNameForProperty(const QMetaObject& metaObject, const QString& property);

// Property -> list of codes (as numbers), for each of `properties`.
QVariantMap acceptableTypesForProperties(const QMetaObject& metaObject, const QStringList& properties);
// Display name -> property, for each of `properties` that has a display name.
QVariantMap displayNamesForProperties(const QMetaObject& metaObject, const QStringList& properties);

} // namespace outputproperties
