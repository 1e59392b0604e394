#pragma once

#include <string>

#include <QPointer>
#include <QWidget>

class QLineEdit;
class QPushButton;
class Show_sys_statu_sdlg;
class CButtonBMP;

// The login window, the application's main window: closing it ends the program.
class CVelmoraDlg : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CVelmoraDlg)

public:
    enum ControlId {
        kAccountPlain = 1108,
        kAccountMasked = 1110,
        kPassword = 195,
        kCode = 206,
        kLogin = 193,
        kClose = 1078,
        kCloseRelogin = 1079,
        kLineSelect = 1106,
    };
    static constexpr int kWidth = 540;
    static constexpr int kHeight = 315;

    // Creates the controls, reads the remembered account and runs the update check.
    explicit CVelmoraDlg(QWidget* parent = nullptr);
    ~CVelmoraDlg() override;

    QString verificationCode() const { return QString::fromStdString(m_code); }
    bool rememberAccount() const { return m_remember; }
    bool accountMasked() const { return m_masked; }
    bool loginPermitted() const { return m_loginPermitted; }
    QWidget* marketWindow() const { return m_market; }
    Show_sys_statu_sdlg* statusWindow() const;
    QString accountText() const;

    // The click zones, in client coordinates.
    QRect codePictureRect() const;
    QRect accountModeZone() const;
    QRect rememberPictureRect() const;
    QRect browseZone() const;
    bool isRelogin() const { return m_relogin; }

public slots:
    void onLogin();
    void onBrowse();
    void onLineSelect();

protected:
    // The re-login form: no update check, no browsing, no line choice; closing only hides
    // it and a successful login fills the user record without opening a market window.
    struct Relogin {};
    CVelmoraDlg(QWidget* parent, Relogin);

    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void setUp();
    void createControls();
    void drawNewCode();
    void showMarketWindow();
    void rememberAccount(const QString& account);
    int centre() const { return width() / 2; }

    QLineEdit* m_accountPlain = nullptr;
    QLineEdit* m_accountMasked = nullptr;
    QLineEdit* m_password = nullptr;
    QLineEdit* m_codeInput = nullptr;
    CButtonBMP* m_login = nullptr;
    CButtonBMP* m_close = nullptr;
    QPushButton* m_lineSelect = nullptr;
    QPointer<QWidget> m_market;
    QPointer<Show_sys_statu_sdlg> m_status;

    std::string m_code;
    bool m_remember = false;
    bool m_masked = false;
    bool m_loginPermitted = true;
    bool m_relogin = false;
};
