#include "QtEnvironment.h"

#include <QGuiApplication>

#include <gtest/gtest.h>

namespace {

class GuiEnvironment final : public ::testing::Environment
{
public:
    void SetUp() override { EnsureGuiApplication(); }
};

const auto* const kRegistered = ::testing::AddGlobalTestEnvironment(new GuiEnvironment);

} // namespace

void EnsureGuiApplication()
{
    static int argc = 1;
    static char name[] = "chart_tests";
    static char* argv[] = {name, nullptr};
    // Never destroyed: tearing down the application during static destruction crashes.
    if (!QGuiApplication::instance())
        new QGuiApplication(argc, argv);
}

int CountInk(const QImage& image, const QRect& area)
{
    int n = 0;
    const QRect r = area.intersected(image.rect());
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x) {
            const QRgb c = image.pixel(x, y) & 0xffffff;
            if (c != 0 && c != 0x323232 && c != 0x232323)
                ++n;
        }
    return n;
}
