#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include <QObject>
#include <QPointer>
#include <QTimer>
#include <QWidget>

#include "trade/core/AccountPoller.h"
#include "trade/core/Rows.h"

class QCheckBox;
class QTreeWidget;
namespace platform { class Notices; }

namespace trade {

// Fill notices: while a user is logged in (locked or not) today's trades are polled every
// kPollMs on the account poller, and each new trade is told through the notices.
class FillNotices final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(FillNotices)

public:
    static constexpr int kPollMs = 3000;

    FillNotices(platform::Notices& notices, QObject* parent);
    ~FillNotices() override;

    // Starts the poller and the timer; false when the poller's thread could not start.
    bool start();
    // The timer's tick: a poll for the user logged in now, if any.
    void poll();

    // The fills told since the login, oldest first.
    const std::vector<TradeRow>& told() const { return m_told; }
    platform::Notices& notices() const { return m_notices; }
    AccountPoller* poller() const { return m_poller.get(); }
    QTimer* pollTimer() { return &m_timer; }

signals:
    // New fills came and were told (or would have been, with notices switched off): the
    // lists of orders and trades on screen are out of date.
    void filled();
    void toldChanged();

private:
    void show(const std::vector<TradeRow>& fills);

    platform::Notices& m_notices;
    std::unique_ptr<AccountPoller> m_poller;
    QTimer m_timer;
    bool m_wasLoggedIn = false;
    std::string m_userId;
    std::uint64_t m_login = 0;
    std::vector<TradeRow> m_told;
};

// "成交回报": the fills told since the login, and the switches of the notices.
class FillNoticesDlg final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(FillNoticesDlg)

public:
    FillNoticesDlg(FillNotices& fills, QWidget* parent);

    QTreeWidget* list() const { return m_list; }
    QCheckBox* fillsSwitch() const { return m_fills; }
    QCheckBox* soundSwitch() const { return m_sound; }
    QCheckBox* desktopSwitch() const { return m_desktop; }

private:
    void fillList();
    void keepSwitches();

    FillNotices& m_source;
    QTreeWidget* m_list = nullptr;
    QCheckBox* m_fills = nullptr;
    QCheckBox* m_sound = nullptr;
    QCheckBox* m_desktop = nullptr;
};

} // namespace trade
