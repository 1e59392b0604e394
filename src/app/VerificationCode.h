#pragma once

#include <ctime>
#include <functional>
#include <string>

#include <QColor>

namespace app {

// The picture code: four digits from the C generator seeded with the seconds clock, so
// every drawing within one second shows the same code.
std::string DrawVerificationCode(std::time_t seconds);
QColor VerificationDigitColour(int digit);

// The seconds clock the code is seeded from; tests fix it.
std::time_t CodeClock();
void setCodeClock(std::function<std::time_t()> clock);

} // namespace app
