#include "app/VerificationCode.h"

#include <array>
#include <cstdlib>

namespace app {

namespace {
// Per process: the clock seam a test sets.
std::function<std::time_t()>& clockFunction()
{
    static std::function<std::time_t()> clock;
    return clock;
}
} // namespace

std::string DrawVerificationCode(std::time_t seconds)
{
    std::srand(static_cast<unsigned>(seconds));
    std::string code;
    for (int i = 0; i < 4; ++i)
        code += static_cast<char>('0' + std::rand() % 10);
    return code;
}

QColor VerificationDigitColour(int digit)
{
    static const std::array<QColor, 10> table = {
        QColor(0, 0, 85),    QColor(0, 0, 255),   QColor(255, 0, 255), QColor(0, 255, 0),
        QColor(0, 255, 255), QColor(190, 0, 190), QColor(255, 0, 0),   QColor(192, 144, 16),
        QColor(0, 0, 0),     QColor(160, 48, 160)};
    return digit >= 0 && digit < 10 ? table[std::size_t(digit)] : QColor(0, 0, 0);
}

std::time_t CodeClock() { return clockFunction() ? clockFunction()() : std::time(nullptr); }

void setCodeClock(std::function<std::time_t()> clock) { clockFunction() = std::move(clock); }

} // namespace app
