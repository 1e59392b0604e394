#pragma once

#include <QWidget>

// The lock-time information strip above the trade panel: how often the terminal talks to
// the service and after how long idle it would lock. Information only.
class Detailsystimeset final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(Detailsystimeset)

public:
    static constexpr int kWidth = 220;
    static constexpr int kHeight = 50;
    static constexpr const char* kTitle = "系统锁定时间设置";
    static constexpr const char* kText = "通讯时长30秒，闲置5分钟锁定";

    explicit Detailsystimeset(QWidget* panel);

protected:
    void paintEvent(QPaintEvent* event) override;
};
