// The remembered account file "signinaccount", and the writer's form read back.
#include "app/RememberedAccount.h"
#include "client/CodePage.h"
#include "client/RequestBody.h"
#include "fuzz/FuzzCheck.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::optional<std::string> account = app::ParseRememberedAccount(fuzz::text(data, size));
    if (!account || !client::isValidUtf8(*account))
        return 0;
    // What the login window writes back must read as the same account.
    const std::string written = client::styledBody({{"id_account", *account, false}});
    FUZZ_CHECK(app::ParseRememberedAccount(written) == account);
    return 0;
}
