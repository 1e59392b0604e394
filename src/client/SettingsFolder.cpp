#include "SettingsFolder.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "WholeFile.h"
#include "session/Session.h"

namespace client {
namespace {

struct Descriptor
{
    int fd = -1;
    ~Descriptor()
    {
        if (fd >= 0)
            ::close(fd);
    }
};

SettingsRead<std::string> problem(std::filesystem::path path, std::string reason)
{
    SettingsRead<std::string> result;
    result.failed = std::move(path);
    result.reason = std::move(reason);
    return result;
}

} // namespace

SettingsFolder::SettingsFolder(std::filesystem::path dir)
    : m_dir(std::move(dir))
{
}

std::filesystem::path SettingsFolder::pathOf(std::string_view name) const
{
    return m_dir.empty() ? std::filesystem::path(name) : m_dir / name;
}

SettingsRead<std::string> SettingsFolder::readBytes(std::string_view name, std::size_t maxBytes) const
{
    const std::filesystem::path path = pathOf(name);
    // Non-blocking: a FIFO of that name must not hold the terminal at its start.
    Descriptor file{::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK)};
    if (file.fd < 0) {
        if (errno == ENOENT || errno == ENOTDIR)
            return {}; // never written: the defaults, quietly
        return problem(path, std::strerror(errno));
    }
    struct stat info{};
    if (::fstat(file.fd, &info) != 0)
        return problem(path, std::strerror(errno));
    if (!S_ISREG(info.st_mode))
        return problem(path, "it is not a file");
    if (std::uintmax_t(info.st_size) > maxBytes)
        return problem(path, "it is larger than any the terminal writes");
    std::string bytes;
    bytes.resize(std::size_t(info.st_size));
    std::size_t got = 0;
    // One byte past the limit tells a file that grew while being read.
    while (got <= maxBytes) {
        if (bytes.size() < got + 4096)
            bytes.resize(std::min(got + 4096, maxBytes + 1));
        const ssize_t n = ::read(file.fd, bytes.data() + got, bytes.size() - got);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return problem(path, std::strerror(errno));
        if (n == 0)
            break;
        got += std::size_t(n);
    }
    if (got > maxBytes)
        return problem(path, "it is larger than any the terminal writes");
    bytes.resize(got);
    SettingsRead<std::string> result;
    result.value = std::move(bytes);
    return result;
}

bool SettingsFolder::write(std::string_view name, std::string_view bytes) const
{
    return writeWholeFile(pathOf(name), bytes);
}

std::string settingsProblemText(std::string_view what, const std::filesystem::path& failed, std::string_view instead)
{
    // An absolute path, so the user can find the file whatever folder the program runs in.
    std::error_code error;
    std::filesystem::path shown = std::filesystem::absolute(failed, error);
    if (error)
        shown = failed;
    std::string text = "无法读取";
    text += what;
    text += "：\n";
    text += shown.lexically_normal().string();
    text += "\n";
    text += instead;
    return text;
}

} // namespace client

namespace client {

SettingsFolder settingsFolder() { return SettingsFolder(Session::current().settingsDir()); }

} // namespace client
