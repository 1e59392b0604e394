#pragma once

// The application object: one running copy per user, whose life is the login window's.
class CVelmoraApp final
{
public:
    static constexpr const char* kInstanceName = "CVelmoraApp";

    // Runs the login window until it is destroyed and returns the exit status. A second
    // copy returns 0 at once, showing nothing.
    int run();
};
