#include "chart/FormulaManagerDlg.h"

#include <QFile>
#include <QFileInfo>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "chart/FormulaBook.h"
#include "chart/FormulaEditorDlg.h"
#include "client/WholeFile.h"
#include "platform/Dialogs.h"
#include "platform/SaveFile.h"

namespace chart {
namespace {

constexpr int kBuiltinRole = Qt::UserRole;
constexpr const char* kFileFilter = "公式文件 (*.txt)|*.txt|所有文件 (*)|*||";

QString qText(const std::string& s)
{
    return QString::fromUtf8(s.data(), qsizetype(s.size()));
}

std::string utf8(const QString& s)
{
    return s.toUtf8().toStdString();
}

QString placementText(formula::Placement p)
{
    return p == formula::Placement::Overlay ? QStringLiteral("主图") : QStringLiteral("副图");
}

QTreeWidgetItem* addRow(QTreeWidgetItem* group, const formula::Definition& d, bool builtin)
{
    auto* item = new QTreeWidgetItem(group, {qText(d.name), placementText(d.placement), qText(d.description)});
    item->setData(0, kBuiltinRole, builtin);
    if (!builtin && !formula::compileDefinition(d).ok())
        item->setForeground(0, QColor(200, 0, 0)); // its text has errors: it cannot be drawn
    return item;
}

} // namespace

FormulaManagerDlg::FormulaManagerDlg(FormulaBook& book, QWidget* parent)
    : QDialog(parent)
    , m_book(book)
{
    setObjectName(QStringLiteral("FormulaManagerDlg"));
    setWindowTitle(QStringLiteral("公式管理"));
    resize(900, 560);

    m_list = new QTreeWidget(this);
    m_list->setObjectName(QStringLiteral("formulaList"));
    m_list->setHeaderLabels({QStringLiteral("公式"), QStringLiteral("位置"), QStringLiteral("说明")});
    m_list->header()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    m_list->setMinimumWidth(340);
    m_builtins = new QTreeWidgetItem(m_list, {QStringLiteral("内置公式（只读）")});
    m_own = new QTreeWidgetItem(m_list, {QStringLiteral("我的公式")});
    for (QTreeWidgetItem* group : {m_builtins, m_own})
        group->setFlags(Qt::ItemIsEnabled);

    m_text = new QPlainTextEdit(this);
    m_text->setObjectName(QStringLiteral("formulaView"));
    // Read-only, but the text can be selected and copied.
    m_text->setReadOnly(true);
    m_text->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    m_text->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    m_text->setLineWrapMode(QPlainTextEdit::NoWrap);

    auto* buttons = new QVBoxLayout;
    const auto button = [&](const char* text, const char* name, void (FormulaManagerDlg::*slot)()) {
        auto* b = new QPushButton(QString::fromUtf8(text), this);
        b->setObjectName(QString::fromLatin1(name));
        b->setAutoDefault(false);
        connect(b, &QPushButton::clicked, this, slot);
        buttons->addWidget(b);
        return b;
    };
    button("新建", "newFormula", &FormulaManagerDlg::newFormula);
    m_edit = button("修改", "editFormula", &FormulaManagerDlg::editSelected);
    m_copy = button("复制为新公式", "copyFormula", &FormulaManagerDlg::copySelected);
    m_delete = button("删除", "deleteFormula", &FormulaManagerDlg::deleteSelected);
    buttons->addSpacing(12);
    button("导入...", "importFormula", &FormulaManagerDlg::importFormula);
    m_export = button("导出...", "exportFormula", &FormulaManagerDlg::exportSelected);
    buttons->addStretch(1);
    auto* close = new QPushButton(QStringLiteral("关闭"), this);
    close->setObjectName(QStringLiteral("closeFormulas"));
    close->setAutoDefault(false);
    connect(close, &QPushButton::clicked, this, &QWidget::hide);
    buttons->addWidget(close);

    auto* layout = new QHBoxLayout(this);
    layout->addWidget(m_list, 2);
    layout->addWidget(m_text, 3);
    layout->addLayout(buttons);

    connect(m_list, &QTreeWidget::currentItemChanged, this, &FormulaManagerDlg::showSelection);
    connect(m_list, &QTreeWidget::itemDoubleClicked, this, [this](QTreeWidgetItem* item) {
        if (item->parent() == m_own)
            editSelected();
    });
    connect(&m_book, &FormulaBook::changed, this, [this](const QString&, const QString& name) {
        refill(utf8(name), false);
    });
    refill();
}

void FormulaManagerDlg::showFormulas(const std::string& name)
{
    refill(name, false);
    show();
    raise();
    activateWindow();
}

FormulaEditorDlg* FormulaManagerDlg::editor()
{
    if (!m_editor)
        m_editor = new FormulaEditorDlg(this);
    return m_editor;
}

void FormulaManagerDlg::refill(const std::string& name, bool builtin)
{
    const QSignalBlocker quiet(m_list);
    qDeleteAll(m_builtins->takeChildren());
    qDeleteAll(m_own->takeChildren());
    for (const formula::Definition& d : formula::builtinFormulas())
        addRow(m_builtins, d, true);
    for (const formula::Definition& d : m_book.formulas())
        addRow(m_own, d, false);
    m_list->expandAll();
    if (name.empty() || !select(name, builtin)) {
        QTreeWidgetItem* first = m_own->childCount() > 0 ? m_own->child(0) : m_builtins->child(0);
        m_list->setCurrentItem(first);
    }
    showSelection();
}

bool FormulaManagerDlg::select(const std::string& name, bool builtin)
{
    QTreeWidgetItem* group = builtin ? m_builtins : m_own;
    const std::string key = formula::nameKey(name);
    for (int i = 0; i < group->childCount(); ++i) {
        if (formula::nameKey(utf8(group->child(i)->text(0))) == key) {
            m_list->setCurrentItem(group->child(i));
            return true;
        }
    }
    return false;
}

std::optional<FormulaManagerDlg::Selection> FormulaManagerDlg::selected() const
{
    const QTreeWidgetItem* item = m_list->currentItem();
    if (!item || !item->parent())
        return std::nullopt;
    const bool builtin = item->data(0, kBuiltinRole).toBool();
    const std::string name = utf8(item->text(0));
    if (builtin) {
        for (const formula::Definition& d : formula::builtinFormulas())
            if (d.name == name)
                return Selection{d, true};
        return std::nullopt;
    }
    const formula::Definition* d = m_book.find(name);
    return d ? std::optional<Selection>(Selection{*d, false}) : std::nullopt;
}

void FormulaManagerDlg::showSelection()
{
    const std::optional<Selection> s = selected();
    m_text->setPlainText(s ? qText(formula::exportText(s->definition)) : QString());
    m_edit->setEnabled(s && !s->builtin);
    m_delete->setEnabled(s && !s->builtin);
    m_copy->setEnabled(s.has_value());
    m_export->setEnabled(s.has_value());
}

void FormulaManagerDlg::openEditor(const formula::Definition& d, const std::string& oldName)
{
    editor()->edit(d, m_book.namesOtherThan(oldName), [this, oldName](const formula::Definition& edited) {
        if (m_book.store(oldName, edited))
            return true;
        platform::reportSaveFailed(this, QString::fromStdString(m_book.file().string()));
        return false;
    });
}

void FormulaManagerDlg::newFormula()
{
    formula::Definition d;
    d.name = m_book.freeName("我的公式");
    openEditor(d, {});
}

void FormulaManagerDlg::editSelected()
{
    if (const std::optional<Selection> s = selected(); s && !s->builtin)
        openEditor(s->definition, s->definition.name);
}

void FormulaManagerDlg::copySelected()
{
    std::optional<Selection> s = selected();
    if (!s)
        return;
    s->definition.name = m_book.freeName(s->definition.name);
    openEditor(s->definition, {});
}

void FormulaManagerDlg::deleteSelected()
{
    const std::optional<Selection> s = selected();
    if (!s || s->builtin)
        return;
    const QString question = QStringLiteral("是否删除公式 %1？").arg(qText(s->definition.name));
    if (platform::messageBox(this, question, platform::MsgButtons::YesNo, platform::MsgIcon::Question)
        != platform::MsgResult::Yes)
        return;
    if (!m_book.remove(s->definition.name))
        platform::reportSaveFailed(this, QString::fromStdString(m_book.file().string()));
}

void FormulaManagerDlg::importFormula()
{
    const QString path = platform::openFileName(this, QString::fromUtf8(kFileFilter));
    if (path.isEmpty())
        return;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() > qint64(formula::kMaxImportBytes)) {
        platform::messageBox(this, QStringLiteral("无法导入 %1：读不出这个文件，或它太大，不是一个公式。").arg(path),
                             platform::MsgButtons::Ok, platform::MsgIcon::Warning);
        return;
    }
    const QByteArray bytes = file.read(qint64(formula::kMaxImportBytes));
    formula::Definition d = formula::importText(std::string_view(bytes.constData(), std::size_t(bytes.size())),
                                                utf8(QFileInfo(path).completeBaseName()));
    d.name = m_book.freeName(d.name);
    // A new formula, in the editor: its errors, if any, are seen before it is kept.
    openEditor(d, {});
}

void FormulaManagerDlg::exportSelected()
{
    const std::optional<Selection> s = selected();
    if (!s)
        return;
    const QString path =
        platform::saveFileName(this, qText(formula::exportFileName(s->definition)), QString::fromUtf8(kFileFilter));
    if (path.isEmpty())
        return;
    if (!client::writeWholeFile(std::filesystem::path(path.toStdString()), formula::exportText(s->definition)))
        platform::reportSaveFailed(this, path);
}

} // namespace chart
