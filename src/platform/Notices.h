#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <QWidget>

// Telling the trader of what happened while they looked away (a fill, a price reached): a
// small window at the foot of the work area, the desktop's notifications and a short sound.
namespace platform {

// The trader's choices, kept in the settings folder as "notices".
inline constexpr const char* kNoticesFile = "notices";
struct NoticeSettings
{
    bool fills = true;   // fill notices at all
    bool sound = false;  // a short sound with every notice
    bool desktop = true; // the desktop's notifications too
    bool operator==(const NoticeSettings&) const = default;
};
std::optional<NoticeSettings> parseNoticeSettings(std::string_view text);
std::string noticeSettingsText(const NoticeSettings& settings);
std::string noticeSettingsProblemText(const std::filesystem::path& failed);

// The freedesktop notification service over the session bus. Where no bus or no service
// runs, a notice goes nowhere and nothing waits: the call is never answered synchronously.
class DesktopNotifier final
{
public:
    // The session bus, or the named connection a test made to a bus of its own.
    explicit DesktopNotifier(QString connectionName = {});
    // False when there is no bus to send to.
    bool notify(const QString& summary, const QString& body) const;

private:
    QString m_connection;
};

// The notice itself: bottom right of the work area, above the status band, never taking the
// focus; gone after kLifeMs or on a click. Notices that come while one shows join it.
class NoticeWindow final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(NoticeWindow)

public:
    static constexpr int kLifeMs = 8000;
    static constexpr int kMaxLines = 8;

    explicit NoticeWindow(QWidget* parent);
    void tell(const QString& title, const QStringList& lines);
    QString title() const { return m_title; }
    QStringList lines() const { return m_lines; }
    // What takes the notice away; tests drive it.
    QTimer* lifeTimer() { return &m_life; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    QString m_title;
    QStringList m_lines;
    QTimer m_life;
};

// The one way a notice goes out, whatever raised it.
class Notices final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(Notices)

public:
    // Reads the choices from the settings folder; a broken file is named once, in front of
    // `window`, and left as it is.
    explicit Notices(QWidget* window);

    void tell(const QString& title, const QStringList& lines);

    NoticeSettings settings() const { return m_settings; }
    // Kept in the settings folder; a folder that cannot be written is said once.
    void setSettings(const NoticeSettings& settings);

    NoticeWindow* window() const { return m_notice; }
    // Seams: what a sound is, and where desktop notices go.
    void setSound(std::function<void()> sound) { m_sound = std::move(sound); }
    void setDesktop(DesktopNotifier desktop) { m_desktop = std::move(desktop); }

private:
    QWidget* m_window;
    QPointer<NoticeWindow> m_notice;
    NoticeSettings m_settings;
    DesktopNotifier m_desktop;
    std::function<void()> m_sound;
    bool m_unsaved = false;
};

} // namespace platform
