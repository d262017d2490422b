#include "platform/ui/ApplicationSingleton.h"

#include <QPointer>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

class Palette : public QObject {};
using SharedPalette = platform::ApplicationSingleton<Palette>;

} // namespace

TEST(ApplicationSingleton, IsMadeOnceOwnedByTheApplicationAndForgottenWhenItGoes)
{
    EXPECT_EQ(SharedPalette::existing(), nullptr);
    Palette* palette = SharedPalette::instance();
    ASSERT_NE(palette, nullptr);
    EXPECT_EQ(palette->parent(), QCoreApplication::instance());
    EXPECT_EQ(SharedPalette::instance(), palette);
    EXPECT_EQ(SharedPalette::existing(), palette);

    Palette other;
    SharedPalette::forget(&other); // not the shared one: nothing changes
    EXPECT_EQ(SharedPalette::existing(), palette);

    SharedPalette::forget(palette);
    delete palette;
    EXPECT_EQ(SharedPalette::existing(), nullptr);
    Palette* again = SharedPalette::instance();
    EXPECT_NE(again, nullptr);
    SharedPalette::forget(again);
    delete again;
}

TEST(ApplicationSingleton, GoesWhenTheEventLoopEndsBeforeTheApplicationDoes)
{
    const QPointer<Palette> palette = SharedPalette::instance();
    QTimer::singleShot(0, QCoreApplication::instance(), &QCoreApplication::quit);
    QCoreApplication::exec();
    EXPECT_TRUE(palette.isNull());
    EXPECT_EQ(SharedPalette::existing(), nullptr);
}
