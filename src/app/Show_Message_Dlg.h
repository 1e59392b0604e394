#pragma once

#include <QWidget>

class CHtmlCtrl;

// The exchange's announcements, fetched whenever the window is made and shown from the
// local page. Its close button destroys it.
class Show_Message_Dlg final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(Show_Message_Dlg)

public:
    enum ControlId { kClose = 221, kHtml = 3000 };
    // Placed from the work area's size; starts hidden, the opener shows it.
    explicit Show_Message_Dlg(QWidget* owner);

    CHtmlCtrl* view() const { return m_view; }
    // False when the page file could not be written this time.
    bool pageWritten() const { return m_pageWritten; }

protected:
    void mousePressEvent(QMouseEvent* event) override;

private:
    CHtmlCtrl* m_view = nullptr;
    bool m_pageWritten = true;
};
