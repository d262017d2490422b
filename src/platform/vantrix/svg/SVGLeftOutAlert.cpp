#include "platform/vantrix/svg/SVGLeftOutAlert.h"

#include "platform/ui/Alert.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QList>
#include <algorithm>
#include <utility>

namespace svgimport {

QString leftOutSummary(const QStringList& skipped)
{
    QList<std::pair<QString, int>> counted;
    for (const QString& name : skipped) {
        auto found = std::find_if(counted.begin(), counted.end(), [&](const auto& entry) { return entry.first == name; });
        if (found == counted.end())
            counted.append({name, 1});
        else
            ++found->second;
    }
    QStringList parts;
    for (const auto& [name, count] : counted)
        parts << (count > 1 ? QStringLiteral("%1 (%2)").arg(name).arg(count) : name);
    return parts.join(QStringLiteral(", "));
}

void alertLeftOut(const QString& path, const QStringList& skipped, QWidget* window)
{
    if (skipped.isEmpty())
        return;
    const auto tr = [](const char* text) { return QCoreApplication::translate("SVGImport", text); };
    platform::Alert alert;
    alert.setMessageText(tr("Some of “%1” could not be imported.").arg(QFileInfo(path).fileName()));
    alert.setInformativeText(tr("These elements were left out: %1. The rest of the file was imported.")
                                 .arg(leftOutSummary(skipped)));
    alert.beginSheetModalForWindowCompletionHandler(window, {});
}

} // namespace svgimport
