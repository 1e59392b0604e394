#pragma once

#include <array>

#include "trade/PanelWindow.h"

class CButtonBMP;
class CSkinEdit;

namespace trade {
struct DetailsForm;
}

// The customer's personal and bank details, submitted once. With the record already on
// file the window only shows it; otherwise it is a form whose save checks the lengths,
// asks the user to confirm, and sends the details in UTF-8. A successful save keeps them
// in the user record and turns the window read-only for good.
class low_change_message_dlg final : public trade::PanelWindow
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(low_change_message_dlg)

public:
    enum class Field { Name, Email, PersonalId, Address, Phone, Mobile, ContractAddress, Account };
    static constexpr int kFieldCount = 8;
    static constexpr int kNameEdit = 1024;
    static constexpr int kEmailEdit = 1025;
    static constexpr int kPersonalIdEdit = 1027;
    static constexpr int kAddressEdit = 1028;
    static constexpr int kPhoneEdit = 1030;
    static constexpr int kMobileEdit = 1031;
    static constexpr int kContractAddressEdit = 1116;
    static constexpr int kAccountEdit = 1118;
    static constexpr int kSaveButton = 1033;

    explicit low_change_message_dlg(QWidget* parent);

    CSkinEdit* edit(Field field) const { return m_edits[size_t(field)]; }
    // Null in read-only mode.
    CButtonBMP* saveButton() const { return m_save; }
    bool isReadOnly() const { return m_readOnly; }

    // The save button: checks, confirmation, request, and on success the record kept.
    void save();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    trade::DetailsForm form() const;
    // Every edit disabled and showing the user record; the save button gone.
    void showRecord();

    std::array<CSkinEdit*, kFieldCount> m_edits{};
    CButtonBMP* m_save = nullptr;
    bool m_readOnly = false;
};
