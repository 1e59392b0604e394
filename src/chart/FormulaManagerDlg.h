#pragma once

#include <optional>
#include <string>

#include <QDialog>
#include <QPointer>

#include "chart/formula/Definition.h"

class QPlainTextEdit;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace chart {

class FormulaBook;
class FormulaEditorDlg;

// "公式管理": the built-in formulas (read-only, shown as text, copyable into a new one) and the
// trader's own, with new, edit, copy, delete, import and export (a plain UTF-8 text file per
// formula). Edits go through the formula editor; the book keeps them.
class FormulaManagerDlg final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(FormulaManagerDlg)

public:
    FormulaManagerDlg(FormulaBook& book, QWidget* parent = nullptr);

    // Shows the window, the trader's formula `name` selected when there is one.
    void showFormulas(const std::string& name = {});

    // The list's selection: a built-in or the trader's formula.
    struct Selection
    {
        formula::Definition definition;
        bool builtin = false;
    };
    std::optional<Selection> selected() const;
    // Selects a formula by name among the built-ins or the trader's; false when none.
    bool select(const std::string& name, bool builtin);

    void newFormula();
    void editSelected();
    void copySelected();
    void deleteSelected();
    void importFormula();
    void exportSelected();

    QTreeWidget* list() const { return m_list; }
    QPlainTextEdit* textView() const { return m_text; }
    FormulaEditorDlg* editor();

private:
    void refill(const std::string& select = {}, bool builtin = false);
    void showSelection();
    void openEditor(const formula::Definition& d, const std::string& oldName);

    FormulaBook& m_book;
    QTreeWidget* m_list = nullptr;
    QTreeWidgetItem* m_builtins = nullptr;
    QTreeWidgetItem* m_own = nullptr;
    QPlainTextEdit* m_text = nullptr;
    QPushButton* m_edit = nullptr;
    QPushButton* m_copy = nullptr;
    QPushButton* m_delete = nullptr;
    QPushButton* m_export = nullptr;
    QPointer<FormulaEditorDlg> m_editor;
};

} // namespace chart
