#include "app/Show_Message_Dlg.h"

#include <QMouseEvent>
#include <QPainter>
#include <QUrl>

#include "app/Announcements.h"
#include "app/CHtmlCtrl.h"
#include "controls/CButtonBMP.h"
#include "platform/Bitmaps.h"
#include "platform/DataPaths.h"
#include "platform/Fonts.h"
#include "platform/Trace.h"
#include "platform/Windows.h"
#include "platform/WorkArea.h"

Show_Message_Dlg::Show_Message_Dlg(QWidget* owner)
    : QWidget(owner, Qt::Tool | Qt::FramelessWindowHint)
{
    setObjectName(QStringLiteral("Show_Message_Dlg"));
    setAttribute(Qt::WA_DeleteOnClose);
    const QSize area = platform::workArea().size();
    const int w = area.width() / 2;
    const int h = area.height() / 2;
    platform::placeAt(this, QRect(QPoint(w - 277, h - 174), QPoint(w + 323 - 1, h + 226 - 1)));

    auto* close = CButtonBMP::TitleCloseButton(IDC_CLOSE, this);
    connect(close, &QAbstractButton::clicked, this, &QWidget::close);

    auto* placeholder = new QWidget(this);
    placeholder->setObjectName(QString::number(IDC_HTML));
    placeholder->setGeometry(QRect(QPoint(-1, 28), QPoint(width() - 2 - 1, height() - 2 - 1)));
    m_view = new CHtmlCtrl(this);
    m_view->createFromStatic(placeholder);
    m_view->setContextMenuSuppressed(true);

    const QString page = platform::announcementPagePath();
    m_pageWritten = app::RefreshAnnouncementPage(page);
    if (!m_pageWritten)
        qCWarning(lcVelmoraTrace) << "cannot write the announcement page" << page;
    m_view->navigate(QUrl::fromLocalFile(page));
}

void Show_Message_Dlg::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.fillRect(QRect(0, 0, width(), 28), QColor(80, 80, 80));
    p.setFont(platform::font(QStringLiteral("宋体"), 16));
    p.setPen(Qt::white);
    p.drawText(QPoint(6, 5 + p.fontMetrics().ascent()), QStringLiteral("公告显示"));
}

void Show_Message_Dlg::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        platform::dragWindow(this);
}
