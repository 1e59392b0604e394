#pragma once

#include <QHash>
#include <QTextBrowser>

// The embedded page view: no scripts, an optional guard against the context menu, and
// "app:" links turned into commands for the parent instead of navigations.
class CHtmlCtrl : public QTextBrowser
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CHtmlCtrl)

public:
    explicit CHtmlCtrl(QWidget* parent = nullptr);

    // Takes the place, size and id (object name) of a placeholder child, which it deletes.
    void createFromStatic(QWidget* placeholder);

    void setContextMenuSuppressed(bool on) { m_hideContextMenu = on; }
    bool contextMenuSuppressed() const { return m_hideContextMenu; }

    // "app:" command names (any case) and the command ids posted to the parent.
    void setAppCommands(QHash<QString, int> commands);

    // Shows a "file:" page, an http page fetched with the transport, or runs an "app:"
    // command. False when the navigation was cancelled.
    bool navigate(const QUrl& url);

signals:
    // A command of the table, already posted to the parent as a signal.
    void appCommand(int id);

protected:
    // Called with the name of every "app:" link, whether in the table or not.
    virtual void onAppCommand(const QString& name);
    void contextMenuEvent(QContextMenuEvent* event) override;
    bool viewportEvent(QEvent* event) override;

private:
    bool m_hideContextMenu = false;
    QHash<QString, int> m_commands;
};
