// The announcement page ("/api/v1/ad") and the information page's address ("/api/stockinfo/<code>").
#include "app/Announcements.h"
#include "fuzz/FuzzCheck.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view wire = fuzz::text(data, size);
    const auto page = app::AnnouncementPage(wire);
    const auto address = app::InformationPageAddress(wire);
    // Both read the same envelope: one parses exactly when the other does.
    FUZZ_CHECK(page.has_value() == address.has_value());
    return 0;
}
