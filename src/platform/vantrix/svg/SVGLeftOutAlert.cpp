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

QString leftOutReport(const LeftOut& leftOut)
{
    constexpr qsizetype kReasonsShown = 5;
    const auto tr = [](const char* text) { return QCoreApplication::translate("SVGImport", text); };
    QString report = tr("These elements were left out: %1. The rest of the file was imported.")
                         .arg(leftOutSummary(leftOut.elements));
    for (const QString& reason : leftOut.reasons.first(std::min(leftOut.reasons.size(), kReasonsShown)))
        report += QStringLiteral("\n\u2022 ") + reason;
    if (const qsizetype more = leftOut.reasons.size() - kReasonsShown; more > 0)
        report += QStringLiteral("\n") + tr("(and %1 more reasons, in the log)").arg(more);
    return report;
}

void alertLeftOut(const QString& path, const LeftOut& leftOut, QWidget* window)
{
    if (leftOut.elements.isEmpty())
        return;
    platform::Alert alert;
    alert.setMessageText(QCoreApplication::translate("SVGImport", "Some of “%1” could not be imported.")
                             .arg(QFileInfo(path).fileName()));
    alert.setInformativeText(leftOutReport(leftOut));
    alert.beginSheetModalForWindowCompletionHandler(window, {});
}

} // namespace svgimport
