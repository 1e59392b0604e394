#include "mainwnd/IdleLock.h"

#include <charconv>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEvent>

#include "client/SettingsFolder.h"
#include "platform/Windows.h"

namespace mainwnd {
namespace {

qint64 steadyMilliseconds()
{
    static const QElapsedTimer started = [] {
        QElapsedTimer t;
        t.start();
        return t;
    }();
    return started.elapsed();
}

} // namespace

std::optional<int> parseIdleMinutes(std::string_view text)
{
    const std::size_t first = text.find_first_not_of(" \t\r\n");
    if (first == std::string_view::npos)
        return std::nullopt;
    text = text.substr(first, text.find_last_not_of(" \t\r\n") - first + 1);
    int minutes = -1;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), minutes);
    if (error != std::errc() || end != text.data() + text.size() || minutes < 0 || minutes > kMaxIdleMinutes)
        return std::nullopt;
    return minutes;
}

std::string idleLockProblemText(const std::filesystem::path& failed)
{
    return client::settingsProblemText("闲置锁定时间文件", failed, "本次闲置5分钟锁定，该文件未作改动。");
}

IdleLock::IdleLock(std::chrono::minutes limit, std::function<void()> lock, QObject* parent)
    : QObject(parent)
    , m_limit(limit)
    , m_lock(std::move(lock))
    , m_clock(steadyMilliseconds)
    , m_lastInput(m_clock())
{
    if (m_limit.count() <= 0)
        return; // never locks: nothing to watch
    qApp->installEventFilter(this);
    m_timer.setInterval(std::chrono::seconds(1));
    connect(&m_timer, &QTimer::timeout, this, &IdleLock::check);
    m_timer.start();
}

IdleLock::~IdleLock()
{
    if (qApp)
        qApp->removeEventFilter(this);
}

void IdleLock::setClock(Clock clock)
{
    m_clock = std::move(clock);
    m_lastInput = m_clock();
    m_fired = false;
}

void IdleLock::check()
{
    if (m_limit.count() <= 0 || m_fired || m_clock() - m_lastInput < m_limit.count())
        return;
    m_fired = true;
    m_lock();
}

bool IdleLock::eventFilter(QObject* watched, QEvent* event)
{
    // A mouse only moved is the user there too, though it asks nothing of the terminal.
    if (platform::isUserInput(event) || event->type() == QEvent::MouseMove) {
        m_lastInput = m_clock();
        m_fired = false;
    }
    return QObject::eventFilter(watched, event);
}

} // namespace mainwnd
