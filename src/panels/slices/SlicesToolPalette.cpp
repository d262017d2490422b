#include "panels/slices/SlicesToolPalette.h"

#include "platform/foundation/ZQLog.h"

namespace {

class LoggingSlicesToolPalette : public SlicesToolPalette {
public:
    void setDelegate(VLTMSlicesLayer*) override {}
    void showWindow() override { ZQLog(QStringLiteral("slices palette: show")); }
    void close() override { ZQLog(QStringLiteral("slices palette: close")); }
    void selectToolMode(int mode) override { ZQLog(QStringLiteral("slices palette: mode %1").arg(mode)); }
};

std::unique_ptr<SlicesToolPalette>& sharedPalette()
{
    static std::unique_ptr<SlicesToolPalette> palette = std::make_unique<LoggingSlicesToolPalette>();
    return palette;
}

} // namespace

SlicesToolPalette& SlicesToolPalette::sharedSlicesToolPalette() { return *sharedPalette(); }

void SlicesToolPalette::setSharedSlicesToolPalette(std::unique_ptr<SlicesToolPalette> palette)
{
    sharedPalette() = palette ? std::move(palette) : std::make_unique<LoggingSlicesToolPalette>();
}
