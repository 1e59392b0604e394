#include "controls/CMyEdit.h"

#include <QKeyEvent>
#include <QValidator>

namespace {

// Judges the whole text after any change, so that a paste (the context menu, insert())
// meets the rule the keys meet; a paste that breaks it is refused whole, as a key is undone.
class PriceTextValidator final : public QValidator
{
public:
    using QValidator::QValidator;
    State validate(QString& input, int&) const override
    {
        return CMyEdit::acceptsText(input) ? Acceptable : Invalid;
    }
};

bool isEnter(const QKeyEvent* event)
{
    return event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
}

} // namespace

CMyEdit::CMyEdit(QWidget* parent)
    : CSkinEdit(parent)
{
    setValidator(new PriceTextValidator(this));
}

bool CMyEdit::acceptsText(const QString& text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        const bool digit = c >= QLatin1Char('0') && c <= QLatin1Char('9');
        if (!digit && c != QLatin1Char('.') && !(c == QLatin1Char('-') && i == 0))
            return false;
    }
    return acceptsChange(QChar(), text);
}

bool CMyEdit::acceptsChange(QChar typed, const QString& after)
{
    const qsizetype dot = after.indexOf(QLatin1Char('.'));
    if (dot >= 0 && after.size() - dot - 1 > 2)
        return false;
    if (typed == QLatin1Char('-') && after.size() > 1)
        return false;
    return true;
}

void CMyEdit::keyPressEvent(QKeyEvent* event)
{
    // Keys that type nothing (arrows, Home, Delete, Tab) keep their standard meaning; Delete
    // comes with the text "\x7f" on X11 and Wayland, yet types nothing. Enter changes nothing
    // typed either: the window's Enter rule acts on the text shown. Clipboard shortcuts
    // arrive as control characters, which the filter refuses like any other.
    const bool backspace = event->key() == Qt::Key_Backspace;
    const bool clipboard = event->matches(QKeySequence::Paste) || event->matches(QKeySequence::Cut)
                           || event->matches(QKeySequence::Undo) || event->matches(QKeySequence::Redo);
    const QString typed = event->text();
    const bool typesNothing = typed.isEmpty() || event->key() == Qt::Key_Delete || isEnter(event);
    if (!backspace && !clipboard && typesNothing) {
        CSkinEdit::keyPressEvent(event);
        return;
    }
    QChar ch;
    if (backspace)
        ch = QLatin1Char('\b');
    else if (!clipboard && typed.size() == 1)
        ch = typed.front();
    const bool allowed = backspace || (ch >= QLatin1Char('0') && ch <= QLatin1Char('9')) || ch == QLatin1Char('-')
                         || ch == QLatin1Char('.');
    if (!allowed) {
        event->accept();
        return;
    }

    const QString before = text();
    const int cursor = cursorPosition();
    const int selStart = selectionStart();
    const int selLength = selectionLength();
    CSkinEdit::keyPressEvent(event);
    const QString after = text();

    if (!acceptsChange(ch, after)) {
        setText(before);
        if (selStart >= 0)
            setSelection(selStart, selLength);
        else
            setCursorPosition(cursor);
    }
}
