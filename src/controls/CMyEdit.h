#pragma once

#include "controls/CSkinEdit.h"

// A price or quantity field: takes digits, "-", ".", backspace and Enter only; at most two
// decimals; a minus sign only into an empty field; Enter leaves the text as typed.
// Pasted text is held to the same rule.
class CMyEdit final : public CSkinEdit
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CMyEdit)

public:
    explicit CMyEdit(QWidget* parent = nullptr);

    // Whether the text a typed character produced may stay.
    static bool acceptsChange(QChar typed, const QString& after);
    // Whether a whole text is one the keys could have typed: digits and dots, a minus sign
    // only in front, at most two characters after the first dot.
    static bool acceptsText(const QString& text);

protected:
    void keyPressEvent(QKeyEvent* event) override;
};
