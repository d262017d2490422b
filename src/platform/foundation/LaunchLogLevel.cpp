#include "platform/foundation/LaunchLogLevel.h"

#include "platform/foundation/ZQLog.h"

#include <QCommandLineParser>
#include <cstdio>
#include <utility>

namespace platform {
namespace {

const QString kLevelOption = QStringLiteral("log-level");

constexpr std::pair<const char*, LogEventKind> kLevels[] = {
    {"trace", kTraceEvent},       {"info", kInfoEvent},   {"file", kFileEvent}, {"life", kLifeEvent},
    {"reactive", kReactiveEvent}, {"state", kStateEvent}, {"user", kUserEvent},
};

} // namespace

std::optional<int> logLevelNamed(const QString& name)
{
    for (const auto& [levelName, kind] : kLevels)
        if (name.compare(QLatin1String(levelName), Qt::CaseInsensitive) == 0)
            return int(kind);
    bool isNumber = false;
    const int level = name.toInt(&isNumber);
    return isNumber ? std::optional<int>(level) : std::nullopt;
}

void setLogLevelFromLaunch(QStringList& arguments)
{
    QStringList names;
    if (const QString chosen = qEnvironmentVariable("QUORVANE_LOG_LEVEL"); !chosen.isEmpty())
        names.append(chosen);
    QCommandLineParser parser;
    parser.addOption(QCommandLineOption(kLevelOption, {}, QStringLiteral("level")));
    if (!parser.parse(arguments))
        std::fprintf(stderr, "quorvane: %s\n", qUtf8Printable(parser.errorText()));
    names.append(parser.values(kLevelOption));
    arguments = arguments.mid(0, 1) + parser.positionalArguments();
    for (const QString& name : std::as_const(names)) {
        if (const std::optional<int> level = logLevelNamed(name))
            Log::setLevel(*level);
        else
            std::fprintf(stderr, "quorvane: “%s” is no log level (trace, info, file, life, reactive, state, user)\n",
                         qUtf8Printable(name));
    }
}

} // namespace platform
