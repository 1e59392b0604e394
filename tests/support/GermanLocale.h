#pragma once

#include <clocale>
#include <cstdio>
#include <cstring>
#include <string>

namespace testsupport {

// Puts the C library under a German locale for as long as it lives, as a desktop in German
// does through Qt: strtod then stops at "." and "%.2f" prints a comma. active() is false
// where the machine has no such locale (the test command generates de_DE.UTF-8).
class GermanLocale final
{
public:
    GermanLocale()
    {
        const char* old = std::setlocale(LC_ALL, nullptr);
        m_old = old ? old : "C";
        m_active = std::setlocale(LC_ALL, "de_DE.UTF-8") != nullptr;
        if (m_active) {
            char text[16];
            std::snprintf(text, sizeof text, "%.2f", 12.5);
            m_active = std::strcmp(text, "12,50") == 0;
        }
    }
    ~GermanLocale() { std::setlocale(LC_ALL, m_old.c_str()); }
    GermanLocale(const GermanLocale&) = delete;
    GermanLocale& operator=(const GermanLocale&) = delete;

    bool active() const { return m_active; }
    static constexpr const char* kMissing = "no de_DE.UTF-8 locale on this machine (the test command generates it)";

private:
    std::string m_old;
    bool m_active = false;
};

} // namespace testsupport
