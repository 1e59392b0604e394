#pragma once

#include <functional>
#include <string>
#include <vector>

#include <QDialog>

#include "chart/formula/Definition.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
class QTableWidget;

namespace chart {

// The formula editor: name, description, placement, up to six parameters (name, default,
// minimum, maximum) and the text. "测试公式" lists every problem with its line and column and
// marks it in the text; "保存" is refused while any remains.
class FormulaEditorDlg final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(FormulaEditorDlg)

public:
    // Saves the formula; false when it could not be (the window then stays open).
    using SaveHandler = std::function<bool(const formula::Definition&)>;

    enum Column { kParameterName, kParameterDefault, kParameterMinimum, kParameterMaximum };

    explicit FormulaEditorDlg(QWidget* parent = nullptr);

    // Shows `d` for editing; `otherNames` are the names it may not take. "保存" hands the
    // edited formula to `onSave` once it has no problem.
    void edit(const formula::Definition& d, std::vector<std::string> otherNames, SaveHandler onSave);

    // The formula as the window shows it, and the problems of its parameter table (a number
    // that is none, a row without a name).
    formula::Definition current(std::vector<formula::Diagnostic>* tableProblems = nullptr) const;
    // Lists and marks every problem; true when there is none.
    bool test();
    // Saves when there is no problem; false (and the problems shown) otherwise.
    bool save();

    QLineEdit* nameEdit() const { return m_name; }
    QLineEdit* descriptionEdit() const { return m_description; }
    QComboBox* placementBox() const { return m_placement; }
    QTableWidget* parameterTable() const { return m_parameters; }
    QPlainTextEdit* textEdit() const { return m_text; }
    QListWidget* problemList() const { return m_problems; }
    QLabel* verdict() const { return m_verdict; }
    QPushButton* testButton() const { return m_testButton; }
    QPushButton* saveButton() const { return m_saveButton; }

private:
    std::vector<formula::Diagnostic> problems() const;
    void listProblems(const std::vector<formula::Diagnostic>& problems);
    void mark(const std::vector<formula::Diagnostic>& problems);
    void goTo(int line, int column);

    QLineEdit* m_name = nullptr;
    QLineEdit* m_description = nullptr;
    QComboBox* m_placement = nullptr;
    QTableWidget* m_parameters = nullptr;
    QPlainTextEdit* m_text = nullptr;
    QListWidget* m_problems = nullptr;
    QLabel* m_verdict = nullptr;
    QPushButton* m_testButton = nullptr;
    QPushButton* m_saveButton = nullptr;
    std::vector<std::string> m_otherNames;
    SaveHandler m_onSave;
};

} // namespace chart
