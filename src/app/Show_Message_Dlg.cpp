#include "app/Show_Message_Dlg.h"

#include <QMouseEvent>
#include <QUrl>

#include "app/Announcements.h"
#include "app/CHtmlCtrl.h"
#include "controls/TitleBar.h"
#include "platform/DataPaths.h"
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

    controls::TitleBar::Style strip;
    strip.ground = QColor(80, 80, 80);
    strip.fontHeight = 16;
    auto* title = new controls::TitleBar(QStringLiteral("公告显示"), strip, this);
    title->addCloseButton(kClose);
    connect(title, &controls::TitleBar::closeClicked, this, &QWidget::close);

    auto* placeholder = new QWidget(this);
    placeholder->setObjectName(QString::number(kHtml));
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

void Show_Message_Dlg::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        platform::dragWindow(this);
}
