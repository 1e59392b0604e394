#include "chart/FormulaEditorDlg.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTextBlock>
#include <QVBoxLayout>

#include "client/Numbers.h"
#include "platform/Dialogs.h"

namespace chart {
namespace {

QString qText(const std::string& s)
{
    return QString::fromUtf8(s.data(), qsizetype(s.size()));
}

std::string utf8(const QString& s)
{
    return s.toUtf8().toStdString();
}

constexpr int kLineRole = Qt::UserRole;
constexpr int kColumnRole = Qt::UserRole + 1;

// The position in a block of the character at `column` (counted in characters from 1, as
// the language counts them; a character outside the basic plane is two UTF-16 units).
int positionInBlock(const QString& text, int column)
{
    int position = 0;
    for (int c = 1; c < column && position < text.size(); ++c)
        position += text.at(position).isHighSurrogate() && position + 1 < text.size() ? 2 : 1;
    return std::min(position, int(text.size()));
}

// How far a mark reaches from its character: the whole name or number it starts, else one
// character.
int markLength(const QString& text, int position)
{
    int end = position;
    while (end < text.size() && (text.at(end).isLetterOrNumber() || text.at(end) == QLatin1Char('_')))
        ++end;
    return std::max(1, end - position);
}

} // namespace

FormulaEditorDlg::FormulaEditorDlg(QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("FormulaEditorDlg"));
    setWindowTitle(QStringLiteral("编辑公式"));
    setWindowModality(Qt::WindowModal);
    // Numbers in the table are read and shown in the C locale's digits, whatever the desktop's.
    setLocale(QLocale::c());
    resize(760, 640);

    auto* form = new QFormLayout;
    m_name = new QLineEdit(this);
    m_name->setObjectName(QStringLiteral("formulaName"));
    m_name->setMaxLength(int(formula::kMaxNameBytes));
    form->addRow(QStringLiteral("公式名称"), m_name);
    m_description = new QLineEdit(this);
    m_description->setObjectName(QStringLiteral("formulaDescription"));
    form->addRow(QStringLiteral("公式说明"), m_description);
    m_placement = new QComboBox(this);
    m_placement->setObjectName(QStringLiteral("formulaPlacement"));
    m_placement->addItem(QStringLiteral("主图叠加（画在K线上）"), int(formula::Placement::Overlay));
    m_placement->addItem(QStringLiteral("副图（成交量下方，单独坐标）"), int(formula::Placement::Oscillator));
    form->addRow(QStringLiteral("画在"), m_placement);

    m_parameters = new QTableWidget(int(formula::kMaxParameters), 4, this);
    m_parameters->setObjectName(QStringLiteral("formulaParameters"));
    m_parameters->setHorizontalHeaderLabels(
        {QStringLiteral("参数"), QStringLiteral("缺省"), QStringLiteral("最小"), QStringLiteral("最大")});
    m_parameters->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    m_parameters->verticalHeader()->setDefaultSectionSize(22);
    m_parameters->setFixedHeight(m_parameters->horizontalHeader()->sizeHint().height()
                                 + 22 * int(formula::kMaxParameters) + 4);
    form->addRow(QStringLiteral("参数"), m_parameters);

    m_text = new QPlainTextEdit(this);
    m_text->setObjectName(QStringLiteral("formulaText"));
    m_text->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    m_text->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_text->setTabChangesFocus(true);
    m_text->setPlaceholderText(QStringLiteral("DIF:EMA(CLOSE,SHORT)-EMA(CLOSE,LONG);\nDEA:EMA(DIF,MID);\n"
                                              "MACD:(DIF-DEA)*2,COLORSTICK;"));

    m_problems = new QListWidget(this);
    m_problems->setObjectName(QStringLiteral("formulaErrors"));
    m_problems->setMaximumHeight(110);
    m_problems->hide(); // until a test finds something
    connect(m_problems, &QListWidget::itemClicked, this, [this](QListWidgetItem* item) {
        goTo(item->data(kLineRole).toInt(), item->data(kColumnRole).toInt());
    });
    m_verdict = new QLabel(this);
    m_verdict->setObjectName(QStringLiteral("formulaVerdict"));

    auto* buttons = new QHBoxLayout;
    m_testButton = new QPushButton(QStringLiteral("测试公式"), this);
    m_testButton->setObjectName(QStringLiteral("testFormula"));
    m_saveButton = new QPushButton(QStringLiteral("保存"), this);
    m_saveButton->setObjectName(QStringLiteral("saveFormula"));
    auto* cancel = new QPushButton(QStringLiteral("取消"), this);
    cancel->setObjectName(QStringLiteral("cancelFormula"));
    for (QPushButton* b : {m_testButton, m_saveButton, cancel})
        b->setAutoDefault(false); // Enter in the text is a new line, never a save
    buttons->addWidget(m_verdict, 1);
    buttons->addWidget(m_testButton);
    buttons->addWidget(m_saveButton);
    buttons->addWidget(cancel);
    connect(m_testButton, &QPushButton::clicked, this, &FormulaEditorDlg::test);
    connect(m_saveButton, &QPushButton::clicked, this, &FormulaEditorDlg::save);
    connect(cancel, &QPushButton::clicked, this, &QWidget::hide);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(new QLabel(QStringLiteral("公式（名称:表达式 画线，名称:=表达式 只计算；{ } 或 // 写注释）"), this));
    layout->addWidget(m_text, 1);
    layout->addWidget(m_problems);
    layout->addLayout(buttons);
}

void FormulaEditorDlg::edit(const formula::Definition& d, std::vector<std::string> otherNames, SaveHandler onSave)
{
    m_otherNames = std::move(otherNames);
    m_onSave = std::move(onSave);
    m_name->setText(qText(d.name));
    m_description->setText(qText(d.description));
    m_placement->setCurrentIndex(m_placement->findData(int(d.placement)));
    m_parameters->clearContents();
    for (std::size_t row = 0; row < d.parameters.size() && row < formula::kMaxParameters; ++row) {
        const formula::Parameter& p = d.parameters[row];
        const int r = int(row);
        m_parameters->setItem(r, kParameterName, new QTableWidgetItem(qText(p.name)));
        m_parameters->setItem(r, kParameterDefault, new QTableWidgetItem(qText(formula::numberText(p.value))));
        m_parameters->setItem(r, kParameterMinimum, new QTableWidgetItem(qText(formula::numberText(p.minimum))));
        m_parameters->setItem(r, kParameterMaximum, new QTableWidgetItem(qText(formula::numberText(p.maximum))));
    }
    m_text->setPlainText(qText(d.text));
    m_problems->clear();
    m_problems->hide();
    m_text->setExtraSelections({});
    m_verdict->clear();
    QDialog::show();
    raise();
    activateWindow();
    m_text->setFocus();
}

formula::Definition FormulaEditorDlg::current(std::vector<formula::Diagnostic>* tableProblems) const
{
    formula::Definition d;
    d.name = utf8(m_name->text().trimmed());
    d.description = utf8(m_description->text().trimmed());
    d.placement = formula::Placement(m_placement->currentData().toInt());
    d.text = utf8(m_text->toPlainText());
    const auto cell = [this](int row, int column) {
        const QTableWidgetItem* item = m_parameters->item(row, column);
        return item ? item->text().trimmed() : QString();
    };
    for (int row = 0; row < m_parameters->rowCount(); ++row) {
        const QString name = cell(row, kParameterName);
        bool empty = name.isEmpty();
        for (int c = kParameterDefault; c <= kParameterMaximum; ++c)
            empty = empty && cell(row, c).isEmpty();
        if (empty)
            continue;
        const auto problem = [&](const QString& what) {
            if (tableProblems)
                tableProblems->push_back({0, 0, utf8(QStringLiteral("参数表第%1行：%2").arg(row + 1).arg(what))});
        };
        formula::Parameter p;
        p.name = utf8(name);
        if (name.isEmpty())
            problem(QStringLiteral("没有参数名"));
        double* values[] = {&p.value, &p.minimum, &p.maximum};
        const QString labels[] = {QStringLiteral("缺省值"), QStringLiteral("最小值"), QStringLiteral("最大值")};
        for (int c = kParameterDefault; c <= kParameterMaximum; ++c) {
            const QString text = cell(row, c);
            const std::optional<double> v = client::wholeDecimal(utf8(text));
            if (v)
                *values[c - kParameterDefault] = *v;
            else
                problem(QStringLiteral("%1“%2”不是数字").arg(labels[c - kParameterDefault], text));
        }
        d.parameters.push_back(std::move(p));
    }
    return d;
}

std::vector<formula::Diagnostic> FormulaEditorDlg::problems() const
{
    std::vector<formula::Diagnostic> found;
    const formula::Definition d = current(&found);
    const std::vector<formula::Diagnostic> checked = formula::checkDefinition(d, m_otherNames);
    found.insert(found.end(), checked.begin(), checked.end());
    return found;
}

bool FormulaEditorDlg::test()
{
    const std::vector<formula::Diagnostic> found = problems();
    listProblems(found);
    return found.empty();
}

bool FormulaEditorDlg::save()
{
    const std::vector<formula::Diagnostic> found = problems();
    listProblems(found);
    if (!found.empty()) {
        QString text = QStringLiteral("公式有 %1 处错误，改正后才能保存：").arg(found.size());
        for (std::size_t i = 0; i < found.size() && i < 5; ++i)
            text += QLatin1Char('\n') + qText(formula::diagnosticText(found[i]));
        platform::messageBox(this, text, platform::MsgButtons::Ok, platform::MsgIcon::Warning);
        return false;
    }
    if (m_onSave && !m_onSave(current()))
        return false;
    hide();
    return true;
}

void FormulaEditorDlg::listProblems(const std::vector<formula::Diagnostic>& found)
{
    m_problems->clear();
    for (const formula::Diagnostic& d : found) {
        auto* item = new QListWidgetItem(qText(formula::diagnosticText(d)), m_problems);
        item->setData(kLineRole, d.line);
        item->setData(kColumnRole, d.column);
        item->setForeground(QColor(200, 0, 0));
    }
    m_problems->setVisible(!found.empty());
    if (found.empty()) {
        const formula::Compiled compiled = formula::compileDefinition(current());
        const std::size_t lines = compiled.ok() ? formula::outputsOf(*compiled.program).size() : 0;
        m_verdict->setText(QStringLiteral("测试通过：没有错误，公式画 %1 条线。").arg(lines));
    } else {
        m_verdict->setText(QStringLiteral("有 %1 处错误，见下表；点一下跳到出错的地方。").arg(found.size()));
    }
    mark(found);
}

void FormulaEditorDlg::mark(const std::vector<formula::Diagnostic>& found)
{
    QList<QTextEdit::ExtraSelection> marks;
    QTextCharFormat format;
    format.setUnderlineStyle(QTextCharFormat::WaveUnderline);
    format.setUnderlineColor(Qt::red);
    format.setBackground(QColor(255, 220, 220));
    for (const formula::Diagnostic& d : found) {
        if (d.line <= 0)
            continue;
        const QTextBlock block = m_text->document()->findBlockByNumber(d.line - 1);
        if (!block.isValid())
            continue;
        const int position = positionInBlock(block.text(), d.column);
        QTextCursor cursor(block);
        cursor.setPosition(block.position() + position);
        const int length = position < block.text().size() ? markLength(block.text(), position) : 0;
        if (length > 0)
            cursor.setPosition(block.position() + position + length, QTextCursor::KeepAnchor);
        else
            cursor.movePosition(QTextCursor::Left, QTextCursor::KeepAnchor); // at the end: the last character
        QTextEdit::ExtraSelection mark;
        mark.cursor = cursor;
        mark.format = format;
        marks << mark;
    }
    m_text->setExtraSelections(marks);
}

void FormulaEditorDlg::goTo(int line, int column)
{
    if (line <= 0)
        return;
    const QTextBlock block = m_text->document()->findBlockByNumber(line - 1);
    if (!block.isValid())
        return;
    QTextCursor cursor(block);
    cursor.setPosition(block.position() + positionInBlock(block.text(), column));
    m_text->setTextCursor(cursor);
    m_text->setFocus();
}

} // namespace chart
