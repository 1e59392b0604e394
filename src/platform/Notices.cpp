#include "platform/Notices.h"

#include <algorithm>
#include <utility>

#include <QApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCall>
#include <QFontMetrics>
#include <QMouseEvent>
#include <QPainter>
#include <QVariantMap>

#include <json/value.h>
#include <json/writer.h>

#include "client/ApiReply.h"
#include "client/SettingsFolder.h"
#include "platform/Dialogs.h"
#include "platform/Fonts.h"
#include "platform/SaveFile.h"
#include "platform/WorkArea.h"
#include "platform/core/Colours.h"

namespace platform {
namespace {

constexpr std::size_t kMaxSettingsBytes = 4 * 1024;
constexpr int kWidth = 380;
constexpr int kTitleHeight = 26;
constexpr int kLineHeight = 20;
constexpr int kStatusBand = 29; // the market window's band at the foot of the work area

const QColor kGround(40, 40, 40);

QFont lineFont() { return font(QStringLiteral("宋体"), 14); }
const QColor kTitleBand(64, 64, 64);
const QColor kFrame(120, 120, 120);

} // namespace

std::optional<NoticeSettings> parseNoticeSettings(std::string_view text)
{
    Json::Value root;
    if (!client::parseJson(text, root) || !root.isObject())
        return std::nullopt;
    NoticeSettings s;
    for (auto [key, flag] : {std::pair{"fills", &s.fills}, {"sound", &s.sound}, {"desktop", &s.desktop}}) {
        const Json::Value& v = client::jsonMember(root, key);
        if (v.isNull())
            continue;
        if (!v.isBool())
            return std::nullopt;
        *flag = v.asBool();
    }
    return s;
}

std::string noticeSettingsText(const NoticeSettings& settings)
{
    Json::Value root(Json::objectValue);
    root["fills"] = settings.fills;
    root["sound"] = settings.sound;
    root["desktop"] = settings.desktop;
    return Json::StyledWriter().write(root);
}

std::string noticeSettingsProblemText(const std::filesystem::path& failed)
{
    return client::settingsProblemText("成交回报设置文件", failed,
                                       "本次使用默认设置，该文件在您更改设置之前不会被改动。");
}

DesktopNotifier::DesktopNotifier(QString connectionName)
    : m_connection(std::move(connectionName))
{
}

bool DesktopNotifier::notify(const QString& summary, const QString& body) const
{
    QDBusConnection bus = m_connection.isEmpty() ? QDBusConnection::sessionBus() : QDBusConnection(m_connection);
    if (!bus.isConnected())
        return false;
    QDBusMessage call = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.Notifications"), QStringLiteral("/org/freedesktop/Notifications"),
        QStringLiteral("org.freedesktop.Notifications"), QStringLiteral("Notify"));
    call << QStringLiteral("Velmora") << 0u << QStringLiteral("velmora") << summary << body << QStringList()
         << QVariantMap() << NoticeWindow::kLifeMs;
    // Asynchronous: a bus without the service, or a slow one, never holds up the window.
    bus.asyncCall(call);
    return true;
}

NoticeWindow::NoticeWindow(QWidget* parent)
    // A tool tip's kind of window: above the others and never activated, on every platform.
    : QWidget(parent, Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | Qt::WindowDoesNotAcceptFocus)
{
    setObjectName(QStringLiteral("NoticeWindow"));
    setAttribute(Qt::WA_ShowWithoutActivating);
    setFocusPolicy(Qt::NoFocus);
    m_life.setSingleShot(true);
    m_life.setInterval(kLifeMs);
    connect(&m_life, &QTimer::timeout, this, &QWidget::hide);
}

void NoticeWindow::tell(const QString& title, const QStringList& lines)
{
    if (!isVisible())
        m_lines.clear();
    m_title = title;
    m_lines = lines + m_lines; // the newest on top
    if (m_lines.size() > kMaxLines)
        m_lines.erase(m_lines.begin() + kMaxLines, m_lines.end());
    const QRect area = workArea();
    const QFontMetrics metrics(lineFont());
    int width = kWidth;
    for (const QString& line : m_lines)
        width = std::max(width, metrics.horizontalAdvance(line) + 24);
    width = std::min(width, area.width() / 2);
    const int height = kTitleHeight + 8 + kLineHeight * int(m_lines.size());
    setGeometry(area.right() + 1 - width - 2, area.bottom() + 1 - kStatusBand - height - 2, width, height);
    update();
    show();
    raise();
    m_life.start();
}

void NoticeWindow::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.fillRect(rect(), kGround);
    p.fillRect(QRect(0, 0, width(), kTitleHeight), kTitleBand);
    p.setPen(kFrame);
    p.drawRect(rect().adjusted(0, 0, -1, -1));
    p.setFont(platform::font(QStringLiteral("微软雅黑"), 15));
    p.setPen(QColor(255, 255, 255));
    p.drawText(QRect(10, 0, width() - 20, kTitleHeight), Qt::AlignVCenter | Qt::AlignLeft, m_title);
    p.setFont(lineFont());
    for (int i = 0; i < m_lines.size(); ++i) {
        const QString& line = m_lines[i];
        p.setPen(line.startsWith(QStringLiteral("买")) ? RiseColour
                 : line.startsWith(QStringLiteral("卖")) ? FallColour
                                                         : TextOnDark);
        p.drawText(QRect(10, kTitleHeight + 4 + i * kLineHeight, width() - 20, kLineHeight),
                   Qt::AlignVCenter | Qt::AlignLeft, line);
    }
}

void NoticeWindow::mousePressEvent(QMouseEvent* event)
{
    event->accept();
    m_life.stop();
    hide();
}

Notices::Notices(QWidget* window)
    : QObject(window)
    , m_window(window)
    , m_sound([] { QApplication::beep(); })
{
    const client::SettingsRead<NoticeSettings> read =
        client::settingsFolder().read(kNoticesFile, parseNoticeSettings, kMaxSettingsBytes);
    m_settings = read.value.value_or(NoticeSettings{});
    if (!read.failed.empty())
        messageBox(window, QString::fromStdString(noticeSettingsProblemText(read.failed)),
                             MsgButtons::Ok, MsgIcon::Warning);
}

void Notices::tell(const QString& title, const QStringList& lines)
{
    if (!m_notice)
        m_notice = new NoticeWindow(m_window);
    m_notice->tell(title, lines);
    if (m_settings.desktop)
        m_desktop.notify(title, lines.join(QLatin1Char('\n')));
    if (m_settings.sound && m_sound)
        m_sound();
}

void Notices::setSettings(const NoticeSettings& settings)
{
    if (settings == m_settings)
        return;
    m_settings = settings;
    const client::SettingsFolder folder = client::settingsFolder();
    if (!folder.write(kNoticesFile, noticeSettingsText(settings)) && !std::exchange(m_unsaved, true))
        reportSaveFailed(m_window, QString::fromStdString(folder.pathOf(kNoticesFile).string()));
}

} // namespace platform
