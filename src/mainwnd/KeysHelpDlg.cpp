#include "mainwnd/KeysHelpDlg.h"

#include <array>

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

#include "controls/TitleBar.h"
#include "platform/Fonts.h"
#include "platform/Windows.h"

namespace {

constexpr std::array<KeysHelpDlg::Row, 24> kRows{{
    {nullptr, "行情窗口"},
    {"F5", "分时走势与K线图切换"},
    {"F10", "品种资料"},
    {"F1", "分笔成交"},
    {"F2", "分价表"},
    {"F3", "行情列表"},
    {"F6", "自选"},
    {"数字 / 字母", "输入代码或名称，打开代码查找"},
    {nullptr, "行情列表"},
    {"↑ / ↓", "上下移动选中行"},
    {"PgUp / PgDn", "上下翻页"},
    {"Enter", "打开选中品种的分时走势"},
    {"Insert / Delete", "加入自选 / 删除自选（显示自选时）"},
    {nullptr, "图表"},
    {"PgUp / PgDn", "上一个 / 下一个品种（行情列表的顺序）"},
    {"[ / ]", "K线的上一个 / 下一个周期"},
    {nullptr, "K线图"},
    {"← / →", "显示十字光标，逐根移动，到边时翻动"},
    {"↑ / ↓、滚轮", "放大（少显示K线） / 缩小（多显示K线）"},
    {"Home / End", "第一根 / 最后一根K线"},
    {nullptr, "Enter 与 Esc"},
    {"Enter", "行情列表外不起作用"},
    {"Esc", "行情窗口中询问是否退出；关闭代码查找和本窗口"},
    {"Enter / Esc", "交易窗口中不起作用"},
}};

constexpr int kRowHeight = 22;
constexpr int kTop = controls::TitleBar::kHeight + 10;
constexpr int kKeysX = 24;
constexpr int kActionX = 150;

const QColor kGround(32, 32, 32);
const QColor kHeading(160, 160, 160);
const QColor kKeys(255, 204, 0);
const QColor kText(240, 240, 240);

} // namespace

std::span<const KeysHelpDlg::Row> KeysHelpDlg::rows()
{
    return kRows;
}

QSize KeysHelpDlg::preferredSize()
{
    return QSize(500, kTop + int(kRows.size()) * kRowHeight + 10);
}

KeysHelpDlg::KeysHelpDlg(QWidget* owner)
    : QWidget(owner, Qt::Tool | Qt::FramelessWindowHint)
{
    setObjectName(QStringLiteral("KeysHelpDlg"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::StrongFocus);
    resize(preferredSize());
    controls::TitleBar::Style strip;
    strip.ground = QColor(56, 56, 56);
    strip.fontHeight = 16;
    auto* title = new controls::TitleBar(QStringLiteral("快捷键"), strip, this);
    title->addCloseButton(kClose);
    connect(title, &controls::TitleBar::closeClicked, this, &QWidget::hide);
}

void KeysHelpDlg::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.fillRect(rect(), kGround);
    p.setFont(platform::font(QStringLiteral("宋体"), 14));
    const int flags = Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine;
    int y = kTop;
    for (const Row& row : kRows) {
        const QString action = QString::fromUtf8(row.action);
        if (!row.keys) {
            p.setPen(kHeading);
            p.drawText(QRect(10, y, width() - 20, kRowHeight), flags, action);
            p.drawLine(10 + p.fontMetrics().horizontalAdvance(action) + 8, y + kRowHeight / 2, width() - 10,
                       y + kRowHeight / 2);
        } else {
            p.setPen(kKeys);
            p.drawText(QRect(kKeysX, y, kActionX - kKeysX, kRowHeight), flags, QString::fromUtf8(row.keys));
            p.setPen(kText);
            p.drawText(QRect(kActionX, y, width() - kActionX - 10, kRowHeight), flags, action);
        }
        y += kRowHeight;
    }
}

void KeysHelpDlg::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        platform::dragWindow(this);
}

void KeysHelpDlg::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape) {
        hide();
        return;
    }
    QWidget::keyPressEvent(event);
}
