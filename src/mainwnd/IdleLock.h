#pragma once

#include <chrono>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include <QObject>
#include <QTimer>

namespace mainwnd {

// How long the terminal may be left alone before the trade panel locks itself, in the
// settings folder as a whole number of minutes (0: never). The panel says "闲置5分钟锁定".
inline constexpr const char* kIdleLockFile = "idlelock";
inline constexpr int kDefaultIdleMinutes = 5;
inline constexpr int kMaxIdleMinutes = 24 * 60;

// The minutes a file's text holds: digits alone, blanks and a final line break allowed,
// 0..kMaxIdleMinutes; nullopt otherwise.
std::optional<int> parseIdleMinutes(std::string_view text);
// The message naming a file that holds no such number.
std::string idleLockProblemText(const std::filesystem::path& failed);

// Watches every key, mouse and wheel input of the program; when none has come for the
// limit, runs `lock` once, and again only after the next input has come and the limit has
// passed once more.
class IdleLock final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(IdleLock)

public:
    // Milliseconds on a clock that never goes back; tests set their own.
    using Clock = std::function<qint64()>;

    IdleLock(std::chrono::minutes limit, std::function<void()> lock, QObject* parent = nullptr);
    ~IdleLock() override;

    void setClock(Clock clock);
    // Locks when the limit has passed since the last input; the timer calls it every second.
    void check();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::chrono::milliseconds m_limit;
    std::function<void()> m_lock;
    Clock m_clock;
    qint64 m_lastInput = 0;
    bool m_fired = false;
    QTimer m_timer;
};

} // namespace mainwnd
