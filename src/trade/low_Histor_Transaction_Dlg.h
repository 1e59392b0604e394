#pragma once

#include <QDate>

#include "trade/ListWindow.h"

class QDateEdit;

// The account's trades between two dates, queried only by its own button (the panel's
// choice and refresh leave the rows as they are), with a text export.
class low_Histor_Transaction_Dlg final : public trade::ListWindow
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(low_Histor_Transaction_Dlg)

public:
    static constexpr int kStartPicker = 1048;
    static constexpr int kEndPicker = 1049;
    static constexpr int kQueryButton = 1050;
    static constexpr int kExportButton = 1017;
    static constexpr int kList = 1132;

    explicit low_Histor_Transaction_Dlg(QWidget* parent);

    void query();
    JListCtrl* list() const { return m_list; }
    QDateEdit* startPicker() const { return m_start; }
    QDateEdit* endPicker() const { return m_end; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QDateEdit* m_start;
    QDateEdit* m_end;
    JListCtrl* m_list;
};
