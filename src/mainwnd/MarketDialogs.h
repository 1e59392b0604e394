#pragma once

#include <QObject>
#include <QPointer>

class Aboxt_wineDlg;
class KeysHelpDlg;
class QRect;
class QWidget;
class ShowViewSetDlg;
class Show_sys_statu_sdlg;

namespace mainwnd {

// The market window's small windows that its menus and the set-up tab open: system status,
// about, the keys and the column set-up. Each is made on first use and then shown again.
class MarketDialogs final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(MarketDialogs)

public:
    explicit MarketDialogs(QWidget* marketWindow);

    void showSystemStatus();
    void showAbout();
    void showKeysHelp();
    void showColumnSetup();
    // The windows that give way to the overview when it comes back.
    void hideForOverview();

    KeysHelpDlg* keysHelp() const;
    ShowViewSetDlg* columnSetup() const;

    static void showAt(QWidget* window, const QRect& edges);

private:
    QWidget* m_market;
    QPointer<Show_sys_statu_sdlg> m_status;
    QPointer<Aboxt_wineDlg> m_about;
    QPointer<KeysHelpDlg> m_keysHelp;
    QPointer<ShowViewSetDlg> m_columnSetup;
};

} // namespace mainwnd
