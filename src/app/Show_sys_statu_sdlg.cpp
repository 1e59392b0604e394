#include "app/Show_sys_statu_sdlg.h"

#include <QComboBox>
#include <QFocusEvent>
#include <QMouseEvent>
#include <QPainter>

#include "app/AppTexts.h"
#include "client/ServerLine.h"
#include "client/SettingsFolder.h"
#include "controls/TitleBar.h"
#include "platform/DataPaths.h"
#include "platform/Fonts.h"
#include "platform/SaveFile.h"
#include "platform/Windows.h"

namespace {

// The line index stored in "connect", or -1 when there is none to show.
int storedLineChoice()
{
    return client::settingsFolder().read(client::kLineChoiceFile, client::parseLineChoice, 4096).value.value_or(-1);
}

} // namespace

Show_sys_statu_sdlg::Show_sys_statu_sdlg(QWidget* owner)
    : QWidget(owner, Qt::Tool | Qt::FramelessWindowHint)
{
    setObjectName(QStringLiteral("Show_sys_statu_sdlg"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    platform::placeAt(this, defaultPlace());

    controls::TitleBar::Style strip;
    strip.ground = QColor(56, 56, 56);
    strip.fontHeight = 16;
    auto* title = new controls::TitleBar(QStringLiteral("系统状态"), strip, this);
    title->addCloseButton(kClose);
    connect(title, &controls::TitleBar::closeClicked, this, &QWidget::hide);

    m_lines = new QComboBox(this);
    m_lines->setObjectName(QString::number(kLineList));
    m_lines->setGeometry(320, 150, 100, 24); // the drop-down reaches to y 300
    m_lines->setMaxVisibleItems(6);
    m_lines->setFont(platform::font(QStringLiteral("宋体"), 14));
    m_lines->addItem(QStringLiteral("联通"));
    m_lines->addItem(QStringLiteral("移动"));
    m_lines->setCurrentIndex(0);
    if (const int stored = storedLineChoice(); stored == 0 || stored == 1)
        m_lines->setCurrentIndex(stored);
    m_lines->installEventFilter(this);
}

bool Show_sys_statu_sdlg::eventFilter(QObject* watched, QEvent* event)
{
    // Opening the drop-down takes the focus only for the popup: not a choice yet.
    if (watched == m_lines && event->type() == QEvent::FocusOut
        && static_cast<QFocusEvent*>(event)->reason() != Qt::PopupFocusReason) {
        const int index = m_lines->currentIndex();
        // The line is in use either way; a choice that cannot be stored is told after the
        // focus change has run its course.
        const client::SettingsFolder settings = client::settingsFolder();
        if ((index == 0 || index == 1) && !client::ApplyLineChoice(index, settings.dir()))
            QMetaObject::invokeMethod(
                this,
                [this, file = QString::fromStdString(settings.pathOf(client::kLineChoiceFile).string())] {
                    platform::reportSaveFailed(this, file);
                },
                Qt::QueuedConnection);
    }
    return QWidget::eventFilter(watched, event);
}

void Show_sys_statu_sdlg::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.fillRect(rect(), QColor(240, 240, 240));
    p.setFont(platform::font(QStringLiteral("宋体"), 16));
    p.setPen(Qt::black);
    const int ascent = p.fontMetrics().ascent();
    const struct { int y; QString label; QString value; } rows[] = {
        {50, QStringLiteral("程序路径"), platform::programFolder()},
        {100, QStringLiteral("系统版本"), QString::fromUtf8(app::kVersionLabel)},
        {150, QStringLiteral("服务器地址"), QString::fromUtf8(app::kServerAddressText)},
    };
    for (const auto& row : rows) {
        p.drawText(QPoint(50, row.y + ascent), row.label);
        p.drawText(QRect(170, row.y, width() - 180, 20), Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine,
                   p.fontMetrics().elidedText(row.value, Qt::ElideMiddle, width() - 180));
    }
}

void Show_sys_statu_sdlg::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        platform::dragWindow(this);
}
