#pragma once

#include <QWidget>

// Stand-in market window until the real one (src/mainwnd) replaces it through
// app::setMarketWindowFactory: a borderless window over the work area that only paints
// its caption and the login state.
class Transaction_Dlg final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(Transaction_Dlg)

public:
    explicit Transaction_Dlg(QWidget* owner);

protected:
    void paintEvent(QPaintEvent*) override;
};
