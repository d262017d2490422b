#include "LogCapture.h"

#include <algorithm>

namespace testsupport {

LogCapture::LogCapture()
    : m_previousSink(platform::Log::setSink([this](LogEventKind kind, const QString& line) {
        lines << line;
        kinds << kind;
    }))
    , m_previousLevel(platform::Log::level())
{
}

LogCapture::~LogCapture()
{
    platform::Log::setSink(m_previousSink);
    platform::Log::setLevel(m_previousLevel);
}

bool LogCapture::contains(const QString& text) const
{
    return std::any_of(lines.cbegin(), lines.cend(), [&](const QString& line) { return line.contains(text); });
}

} // namespace testsupport
