#include "market/ShowViewSetDlg.h"

#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>

#include "controls/CButtonBMP.h"
#include "controls/GetEditInput.h"
#include "controls/TitleBar.h"
#include "platform/Dialogs.h"
#include "platform/Fonts.h"
#include "platform/SaveFile.h"
#include "platform/Windows.h"
#include "market/ColumnFileChoice.h"
#include "session/Session.h"

namespace {

constexpr int kKeyRole = Qt::UserRole;

int positionByRule(const QString& text, int count)
{
    int at = count;
    if (text == QStringLiteral("序"))
        at = 0;
    else if (text == QStringLiteral("代码"))
        at = 1;
    else if (text == QStringLiteral("名称"))
        at = 2;
    return std::min(at, count);
}

// The entry the user highlighted. The current item is not it: Tab or Ctrl+click leave an
// entry current that is not highlighted, and the buttons must not act on that.
QListWidgetItem* selectedEntry(const QListWidget* list)
{
    const QList<QListWidgetItem*> selected = list ? list->selectedItems() : QList<QListWidgetItem*>();
    return selected.isEmpty() ? nullptr : selected.front();
}

int selectedRow(const QListWidget* list)
{
    QListWidgetItem* item = selectedEntry(list);
    return item ? list->row(item) : -1;
}

QListWidgetItem* findEntry(QListWidget* list, const QString& text)
{
    for (int i = 0; i < list->count(); ++i)
        if (list->item(i)->text() == text)
            return list->item(i);
    return nullptr;
}

} // namespace

ShowViewSetDlg::ShowViewSetDlg(std::filesystem::path dir, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint)
    , m_dir(std::move(dir))
{
    setObjectName(QStringLiteral("ShowViewSetDlg"));
    setWindowTitle(QStringLiteral("显示列设置"));
    setGeometry(platform::edges(400, 200, 1000, 600));
    setFont(platform::font(QStringLiteral("宋体"), 16));

    controls::TitleBar::Style strip;
    strip.ground = QColor(64, 64, 64);
    strip.fontHeight = 18;
    strip.textAt = QPoint(6, 3);
    auto* title = new controls::TitleBar(QStringLiteral("显示列设置"), strip, this);
    m_close = title->addCloseButton(kCloseId);
    connect(title, &controls::TitleBar::closeClicked, this, &QWidget::hide);

    buildCatalogue();
    buildCurrent();
    buildButtons();

    m_nameDialog = new GetEditInput(this);
    m_nameDialog->setAcceptHandler([this](const QString& name) { return acceptNewCategory(name); });
    connect(m_nameDialog, &GetEditInput::cancelled, this, &QWidget::hide);
}

ShowViewSetDlg::~ShowViewSetDlg() = default;

void ShowViewSetDlg::buildCatalogue()
{
    if (const std::optional<market::LoadedColumnFile> file =
            market::readColumnFileOrWarn(m_dir, market::kCatalogueFileName, this).file) {
        Session::current().setCatalogueText(file->styledText);
        m_catalogue = file->document;
    }
    m_catalogueBox = new QComboBox(this);
    m_catalogueBox->setObjectName(QString::number(kCatalogueBoxId));
    m_catalogueBox->setGeometry(platform::edges(50, 70, 190, 96));
    if (m_catalogue) {
        for (const market::ColumnCategory& category : m_catalogue->categories) {
            if (static_cast<int>(m_catalogueLists.size()) >= kMaxCatalogueCategories)
                break;
            m_catalogueBox->addItem(QString::fromStdString(category.name));
            auto* list = new QListWidget(this);
            list->setObjectName(QString::number(kCatalogueListId));
            list->setGeometry(platform::edges(50, 110, 190, 330));
            for (const market::ColumnEntry& e : category.columns) {
                auto* item = new QListWidgetItem(QString::fromStdString(e.name), list);
                item->setData(kKeyRole, QString::fromStdString(e.title));
            }
            list->hide();
            m_catalogueLists.push_back(list);
        }
    }
    showOnly(m_catalogueLists, 0);
    m_catalogueBox->setCurrentIndex(m_catalogueLists.empty() ? -1 : 0);
    connect(m_catalogueBox, &QComboBox::currentIndexChanged, this, &ShowViewSetDlg::onCatalogueCategoryChanged);
}

void ShowViewSetDlg::buildCurrent()
{
    std::string text = Session::current().currentColumnText();
    if (text.empty())
        if (const auto file = market::readColumnFileOrWarn(m_dir, market::kCurrentColumnFileName, this).file)
            text = file->styledText;
    const std::optional<market::ColumnDocument> current = market::parseColumnDocument(text);
    if (!current)
        return;
    m_currentBox = new QComboBox(this);
    m_currentBox->setObjectName(QString::number(kCurrentBoxId));
    m_currentBox->setGeometry(platform::edges(330, 280, 480, 306));
    for (int i = 0; i < kMaxCurrentCategories; ++i) {
        auto* list = new QListWidget(this);
        list->setObjectName(QString::number(kFirstCurrentListId + i));
        list->setGeometry(platform::edges(330, 70, 480, 265));
        list->hide();
        m_currentLists.push_back(list);
    }
    int i = 0;
    for (const market::ColumnCategory& category : current->categories) {
        if (i >= kMaxCurrentCategories)
            break;
        m_currentBox->addItem(QString::fromStdString(category.name));
        for (const market::ColumnEntry& e : category.columns) {
            auto* item = new QListWidgetItem(QString::fromStdString(e.name), m_currentLists[i]);
            item->setData(kKeyRole, QString::fromStdString(e.title));
        }
        ++i;
    }
    showOnly(m_currentLists, 0);
    m_currentBox->setCurrentIndex(i > 0 ? 0 : -1);
    connect(m_currentBox, &QComboBox::currentIndexChanged, this, &ShowViewSetDlg::onCurrentCategoryChanged);
}

void ShowViewSetDlg::buildButtons()
{
    struct Spec
    {
        int id;
        const char* caption;
        QRect box;
        void (ShowViewSetDlg::*slot)();
    };
    const Spec specs[] = {
        {kAddId, "添加", platform::edges(205, 80, 305, 105), &ShowViewSetDlg::onAdd},
        {kAddAllId, "全部添加", platform::edges(205, 110, 305, 135), &ShowViewSetDlg::onAddAll},
        {kDeleteId, "删除", platform::edges(205, 230, 305, 255), &ShowViewSetDlg::onDelete},
        {kDeleteAllId, "全部删除", platform::edges(205, 260, 305, 285), &ShowViewSetDlg::onDeleteAll},
        {kOkId, "确定", platform::edges(510, 80, 580, 105), &ShowViewSetDlg::onOk},
        {kCancelId, "取消", platform::edges(510, 110, 580, 135), nullptr},
        {kMoveUpId, "上移", platform::edges(510, 230, 580, 255), &ShowViewSetDlg::onMoveUp},
        {kMoveDownId, "下移", platform::edges(510, 260, 580, 285), &ShowViewSetDlg::onMoveDown},
        {kSaveId, "保存", platform::edges(330, 315, 390, 340), nullptr},
        {kDeleteCategoryId, "删除", platform::edges(420, 315, 480, 340), &ShowViewSetDlg::onDeleteCategory},
        {kNewCategoryId, "新建", platform::edges(330, 345, 390, 370), &ShowViewSetDlg::onNewCategory},
    };
    for (const Spec& s : specs) {
        QPushButton* b = makeButton(s.id, QString::fromUtf8(s.caption), s.box);
        if (s.slot)
            connect(b, &QPushButton::clicked, this, s.slot);
        else if (s.id == kCancelId)
            connect(b, &QPushButton::clicked, this, &QWidget::hide);
        // "保存" has never done anything: saving is "确定".
    }
}

QPushButton* ShowViewSetDlg::makeButton(int id, const QString& caption, const QRect& box)
{
    auto* b = new QPushButton(caption, this);
    b->setObjectName(QString::number(id));
    b->setGeometry(box);
    b->setAutoDefault(false);
    return b;
}

QListWidget* ShowViewSetDlg::shownCatalogueList() const
{
    const int i = m_catalogueBox ? m_catalogueBox->currentIndex() : -1;
    return i >= 0 && i < static_cast<int>(m_catalogueLists.size()) ? m_catalogueLists[i] : nullptr;
}

QListWidget* ShowViewSetDlg::shownCurrentList() const
{
    const int i = m_currentBox ? m_currentBox->currentIndex() : -1;
    return i >= 0 && i < static_cast<int>(m_currentLists.size()) ? m_currentLists[i] : nullptr;
}

QStringList ShowViewSetDlg::currentEntries(int category) const
{
    QStringList out;
    if (category < 0 || category >= static_cast<int>(m_currentLists.size()))
        return out;
    for (int i = 0; i < m_currentLists[category]->count(); ++i)
        out << m_currentLists[category]->item(i)->text();
    return out;
}

void ShowViewSetDlg::showOnly(std::vector<QListWidget*>& lists, int index)
{
    for (int i = 0; i < static_cast<int>(lists.size()); ++i)
        lists[i]->setVisible(i == index);
}

void ShowViewSetDlg::onCatalogueCategoryChanged(int index)
{
    showOnly(m_catalogueLists, index);
}

void ShowViewSetDlg::onCurrentCategoryChanged(int index)
{
    showOnly(m_currentLists, index);
}

void ShowViewSetDlg::insertByRule(QListWidget* list, const QString& text, const QString& key)
{
    if (QListWidgetItem* existing = findEntry(list, text)) {
        list->setCurrentItem(existing);
        return;
    }
    auto* item = new QListWidgetItem(text);
    item->setData(kKeyRole, key);
    list->insertItem(positionByRule(text, list->count()), item);
    list->setCurrentItem(item);
}

void ShowViewSetDlg::onAdd()
{
    QListWidget* from = shownCatalogueList();
    QListWidget* to = shownCurrentList();
    QListWidgetItem* chosen = selectedEntry(from);
    if (!to || !chosen)
        return;
    insertByRule(to, chosen->text(), chosen->data(kKeyRole).toString());
}

void ShowViewSetDlg::onAddAll()
{
    QListWidget* from = shownCatalogueList();
    QListWidget* to = shownCurrentList();
    if (!from || !to)
        return;
    for (int i = 0; i < from->count(); ++i)
        if (!findEntry(to, from->item(i)->text()))
            insertByRule(to, from->item(i)->text(), from->item(i)->data(kKeyRole).toString());
}

void ShowViewSetDlg::onDelete()
{
    QListWidget* list = shownCurrentList();
    const int row = selectedRow(list);
    if (row < kFixedEntries)
        return;
    delete list->takeItem(row);
}

void ShowViewSetDlg::onDeleteAll()
{
    QListWidget* list = shownCurrentList();
    if (!list)
        return;
    while (list->count() > kFixedEntries)
        delete list->takeItem(kFixedEntries);
}

void ShowViewSetDlg::onMoveUp()
{
    QListWidget* list = shownCurrentList();
    const int row = selectedRow(list);
    if (row < kFixedEntries + 1)
        return;
    QListWidgetItem* item = list->takeItem(row);
    list->insertItem(row - 1, item);
    list->setCurrentItem(item);
}

void ShowViewSetDlg::onMoveDown()
{
    QListWidget* list = shownCurrentList();
    const int row = selectedRow(list);
    if (row < kFixedEntries + 1 || row >= list->count() - 1)
        return;
    QListWidgetItem* item = list->takeItem(row);
    list->insertItem(row + 1, item);
    list->setCurrentItem(item);
}

void ShowViewSetDlg::onNewCategory()
{
    const QRect self = geometry();
    m_nameDialog->edit()->clear();
    m_nameDialog->move(self.right() - 50 - m_nameDialog->width(), self.bottom() - 50 - m_nameDialog->height());
    m_nameDialog->show();
    m_nameDialog->activateWindow();
}

bool ShowViewSetDlg::acceptNewCategory(const QString& name)
{
    if (!m_currentBox || m_currentBox->count() >= kMaxCurrentCategories) {
        platform::messageBox(this, QStringLiteral("不允许添加更多选项"));
        return false;
    }
    const int index = m_currentBox->count();
    QListWidget* list = m_currentLists[index];
    list->clear();
    for (const QString& fixed : {QStringLiteral("序"), QStringLiteral("代码"), QStringLiteral("名称")}) {
        auto* item = new QListWidgetItem(fixed, list);
        item->setData(kKeyRole, catalogueKeyOf(fixed));
    }
    m_currentBox->addItem(name);
    m_currentBox->setCurrentIndex(index);
    showOnly(m_currentLists, index);
    return true;
}

void ShowViewSetDlg::onDeleteCategory()
{
    const int index = m_currentBox ? m_currentBox->currentIndex() : -1;
    if (index < 2) {
        platform::messageBox(this, QStringLiteral("基本行情，宽展行情不允许删除"));
        return;
    }
    // Lists follow their categories: the emptied list goes to the spare end, so the
    // categories after the deleted one keep their own columns.
    QListWidget* list = m_currentLists[index];
    list->clear();
    list->hide();
    m_currentLists.erase(m_currentLists.begin() + index);
    m_currentLists.push_back(list);
    QSignalBlocker block(m_currentBox);
    m_currentBox->removeItem(index);
    m_currentBox->setCurrentIndex(index - 1);
    showOnly(m_currentLists, index - 1);
}

QString ShowViewSetDlg::catalogueKeyOf(const QString& caption) const
{
    if (!m_catalogue)
        return {};
    const std::string name = caption.toStdString();
    for (const market::ColumnCategory& c : m_catalogue->categories)
        for (const market::ColumnEntry& e : c.columns)
            if (e.name == name)
                return QString::fromStdString(e.title);
    return {};
}

market::ColumnDocument ShowViewSetDlg::documentToSave() const
{
    const std::optional<market::ColumnDocument> catalogue = market::parseColumnDocument(Session::current().catalogueText());
    auto keyOf = [&](const std::string& caption) -> std::optional<std::string> {
        if (catalogue)
            for (const market::ColumnCategory& c : catalogue->categories)
                for (const market::ColumnEntry& e : c.columns)
                    if (e.name == caption)
                        return e.title;
        return std::nullopt;
    };
    market::ColumnDocument doc;
    const int categories = m_currentBox ? m_currentBox->count() : 0;
    for (int i = 0; i < categories; ++i) {
        market::ColumnCategory category;
        category.name = m_currentBox->itemText(i).toStdString();
        QListWidget* list = m_currentLists[i];
        for (int j = 0; j < list->count(); ++j) {
            const std::string caption = list->item(j)->text().toStdString();
            // A column the catalogue no longer lists keeps the key it was loaded with, so
            // a save never drops a working column or leaves a hole in the file.
            std::optional<std::string> key = keyOf(caption);
            if (!key) {
                const QString own = list->item(j)->data(kKeyRole).toString();
                if (!own.isEmpty())
                    key = own.toStdString();
            }
            if (key)
                category.columns.push_back({caption, *key});
        }
        doc.categories.push_back(std::move(category));
    }
    return doc;
}

void ShowViewSetDlg::onOk()
{
    if (platform::messageBox(this, QStringLiteral("是否确认更改大盘信息"), platform::MsgButtons::YesNo,
                             platform::MsgIcon::Question)
        != platform::MsgResult::Yes)
        return;
    const std::string text = market::styledColumnText(documentToSave());
    Session::current().setCurrentColumnText(text);
    const std::filesystem::path file = m_dir / market::kCurrentColumnFileName;
    if (!market::writeColumnFile(file, text))
        platform::reportSaveFailed(this, QString::fromStdString(file.string()));
}

void ShowViewSetDlg::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.fillRect(rect(), QColor(224, 224, 224));
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QColor(176, 176, 176));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(platform::edges(40, 35, 195, 370), 5, 5);
    p.drawRoundedRect(platform::edges(320, 35, 490, 370), 5, 5);
    p.setFont(font());
    p.setPen(QColor(64, 64, 64));
    p.drawText(QRect(57, 40, 140, 24), Qt::AlignLeft | Qt::AlignTop, QStringLiteral("所有可用列列表"));
    p.drawText(QRect(340, 40, 150, 24), Qt::AlignLeft | Qt::AlignTop, QStringLiteral("当前可用列列表"));
}

void ShowViewSetDlg::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        platform::dragWindow(this);
    QDialog::mousePressEvent(event);
}
