#pragma once

#include <QWidget>

class CButtonBMP;
class QLineEdit;
class QPushButton;

// The screen lock of the trade panel: it covers the whole panel until the account and
// trading password of the last login are typed again (checked here; the service is not
// asked). From it the user can also leave trading or put the panel away, still locked.
class Lock_Detail_dlg final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(Lock_Detail_dlg)

public:
    enum ControlId {
        kExitTrading = 238,
        kHide = 1002,
        kAccount = 1080,
        kPassword = 1082,
        kOk = 1084,
        kCancel = 1114,
    };
    static constexpr const char* kWrongCredentials = "账号密码输入有误";
    static constexpr const char* kConfirmExitTrading = "是否确认退出交易";

    // A child of the panel it covers.
    explicit Lock_Detail_dlg(QWidget* panel);

    // Covers the panel and takes the keyboard from the windows beneath.
    void lock();
    bool isLocked() const { return !isHidden(); }

    QLineEdit* accountBox() const { return m_account; }
    QLineEdit* passwordBox() const { return m_password; }

public slots:
    void onUnlock();
    void onCancel();
    void onExitTrading();
    void onHide();

signals:
    void unlocked();
    // The user confirmed leaving trading: the record is no longer logged in, and the
    // panel is to be destroyed.
    void tradingLeft();
    // The panel is to be put away; the lock stays on it.
    void hideRequested();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void setCoveredEnabled(bool enabled);
    int centre() const { return width() / 2; }

    QLineEdit* m_account;
    QLineEdit* m_password;
    QPushButton* m_ok;
    QPushButton* m_cancel;
    CButtonBMP* m_exit;
    CButtonBMP* m_hide;
};
