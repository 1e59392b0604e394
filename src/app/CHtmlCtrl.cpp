#include "app/CHtmlCtrl.h"

#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QFile>
#include <QMouseEvent>
#include <QUrl>

#include "client/CodePage.h"
#include "client/Call.h"

CHtmlCtrl::CHtmlCtrl(QWidget* parent)
    : QTextBrowser(parent)
{
    setOpenLinks(false);
    setOpenExternalLinks(false);
    connect(this, &QTextBrowser::anchorClicked, this, [this](const QUrl& url) { navigate(url); });
}

void CHtmlCtrl::createFromStatic(QWidget* placeholder)
{
    if (!placeholder)
        return;
    setParent(placeholder->parentWidget());
    setGeometry(placeholder->geometry());
    setObjectName(placeholder->objectName());
    delete placeholder;
    show();
}

void CHtmlCtrl::setAppCommands(QHash<QString, int> commands)
{
    m_commands.clear();
    for (auto it = commands.cbegin(); it != commands.cend(); ++it)
        m_commands.insert(it.key().toLower(), it.value());
}

bool CHtmlCtrl::navigate(const QUrl& url)
{
    const QString text = url.toString();
    if (text.startsWith(QStringLiteral("app:"), Qt::CaseInsensitive)) {
        const QString name = text.mid(4);
        onAppCommand(name);
        const auto it = m_commands.constFind(name.toLower());
        if (it != m_commands.cend())
            QMetaObject::invokeMethod(this, [this, id = it.value()] { emit appCommand(id); }, Qt::QueuedConnection);
        return false;
    }
    if (url.isLocalFile()) {
        QFile file(url.toLocalFile());
        const QByteArray bytes = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
        const std::string utf8 = client::localFileToUtf8(std::string_view(bytes.constData(), size_t(bytes.size())));
        setHtml(QString::fromStdString(utf8));
        return true;
    }
    if (url.scheme() == QStringLiteral("http")) {
        const std::string reply = client::fetchUrl(url.toString().toStdString());
        setHtml(QString::fromStdString(client::localFileToUtf8(reply)));
        return true;
    }
    return false;
}

void CHtmlCtrl::onAppCommand(const QString&) {}

void CHtmlCtrl::contextMenuEvent(QContextMenuEvent* event)
{
    if (m_hideContextMenu) {
        event->accept();
        return;
    }
    QTextBrowser::contextMenuEvent(event);
}

bool CHtmlCtrl::viewportEvent(QEvent* event)
{
    if (m_hideContextMenu) {
        switch (event->type()) {
        case QEvent::ContextMenu:
            event->accept();
            return true;
        case QEvent::MouseButtonRelease:
            if (static_cast<QMouseEvent*>(event)->button() == Qt::RightButton) {
                // The parent may offer a menu of its own.
                if (QWidget* owner = parentWidget()) {
                    const QPoint global = static_cast<QMouseEvent*>(event)->globalPosition().toPoint();
                    QContextMenuEvent menu(QContextMenuEvent::Mouse, owner->mapFromGlobal(global), global);
                    QCoreApplication::sendEvent(owner, &menu);
                }
                return true;
            }
            break;
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick:
            if (static_cast<QMouseEvent*>(event)->button() == Qt::RightButton)
                return true;
            break;
        default: break;
        }
    }
    return QTextBrowser::viewportEvent(event);
}
