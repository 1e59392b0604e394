#pragma once

#include "trade/PanelWindow.h"

class CButtonBMP;
class CSkinEdit;

// The trading password change. The old password is checked locally against the one of
// the last login; both travel hashed. After a change the new password is the one the
// screen lock and the next change compare with.
class low_change_passd_dlg final : public trade::PanelWindow
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(low_change_passd_dlg)

public:
    static constexpr int kOldPassword = 211;
    static constexpr int kNewPassword = 212;
    static constexpr int kConfirmation = 213;
    static constexpr int kSaveButton = 1023;

    explicit low_change_passd_dlg(QWidget* parent);

    CSkinEdit* oldPasswordEdit() const { return m_old; }
    CSkinEdit* newPasswordEdit() const { return m_new; }
    CSkinEdit* confirmationEdit() const { return m_confirm; }

    // The save button: checks, request, and on success the new password kept.
    void save();
    void clearInputs() override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    CSkinEdit* m_old;
    CSkinEdit* m_new;
    CSkinEdit* m_confirm;
    CButtonBMP* m_save;
};
