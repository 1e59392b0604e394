#pragma once

#include <QKeyEvent>
#include <QWidget>

// A window the trade panel hosts. The panel creates it on the first choice of its
// function, then only places, shows and hides it, and on each choice runs what the
// function's row asks: empty its input fields, reload it, or both.
namespace trade {

class PanelWindow : public QWidget
{
public:
    using QWidget::QWidget;

    // Reloads what the window shows from the service. Windows without data do nothing.
    virtual void refresh() {}
    // Empties the input fields the panel empties on each choice.
    virtual void clearInputs() {}

protected:
    // Enter belongs to the window's own rule (an order window places its order), and
    // neither key may travel on to the market window, where Escape asks to quit.
    virtual void enterPressed() {}

    void keyPressEvent(QKeyEvent* event) override
    {
        switch (event->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
            if (!event->isAutoRepeat())
                enterPressed();
            event->accept();
            return;
        case Qt::Key_Escape:
            event->accept();
            return;
        default:
            QWidget::keyPressEvent(event);
        }
    }
};

} // namespace trade
