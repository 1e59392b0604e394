#include "market/ItemFinder.h"

#include <algorithm>

#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPainter>

#include "controls/JListCtrl.h"
#include "market/core/ChosenItem.h"
#include "market/core/MarketColours.h"
#include "platform/Fonts.h"
#include "platform/core/Colours.h"
#include "session/Session.h"

namespace market {
namespace {

const QColor kGround(32, 32, 32);
const QColor kFieldGround(21, 21, 21);
const QColor kFrame(96, 96, 96);
constexpr int kMargin = 4;
constexpr int kFieldHeight = 26;

} // namespace

ItemFinder::ItemFinder(QWidget* parent)
    : QWidget(parent, Qt::Popup | Qt::FramelessWindowHint)
    , m_field(new QLineEdit(this))
    , m_list(new JListCtrl(this))
{
    setObjectName(QStringLiteral("ItemFinder"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    const QFont font = platform::font(QStringLiteral("Arial"), 20); // as the list below
    m_field->setObjectName(QStringLiteral("finderField"));
    m_field->setFont(font);
    m_field->setFrame(false);
    QPalette palette = m_field->palette();
    palette.setColor(QPalette::Base, kFieldGround);
    palette.setColor(QPalette::Text, platform::TextOnDark);
    m_field->setPalette(palette);
    m_field->installEventFilter(this);
    connect(m_field, &QLineEdit::textChanged, this, &ItemFinder::refill);

    m_list->setObjectName(QStringLiteral("finderList"));
    m_list->setBackgroundColour(kGround);
    m_list->setDefaultTextColour(kLevelColour);
    m_list->setSelectedRowColours(kSelectedBand, kSelectedOutline);
    m_list->setFocusPolicy(Qt::NoFocus);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->addColumn(QStringLiteral("代码"), 90);
    m_list->addColumn(QStringLiteral("名称"), kWidth - 2 * kMargin - 92, Qt::AlignLeft | Qt::AlignVCenter);
    connect(m_list, &QTableWidget::cellDoubleClicked, this, [this](int row) {
        m_list->setCurrentCell(row, 0);
        if (const int code = chosenCode()) {
            close();
            emit itemChosen(code);
        }
    });

    const int listHeight = m_list->horizontalHeader()->sizeHint().height() + kRows * JListCtrl::kRowHeight + 2;
    m_field->setGeometry(kMargin, kMargin, kWidth - 2 * kMargin, kFieldHeight);
    m_list->setGeometry(kMargin, 2 * kMargin + kFieldHeight, kWidth - 2 * kMargin, listHeight);
    resize(kWidth, 3 * kMargin + kFieldHeight + listHeight);
}

void ItemFinder::start(const QString& typed, const QPoint& bottomRight)
{
    move(bottomRight - QPoint(width() - 1, height() - 1));
    m_field->setText(typed);
    refill(); // the same text again still looks at the item table anew
    show();
    raise();
    activateWindow();
    m_field->setFocus();
    m_field->end(false);
}

void ItemFinder::setNameKeys(std::map<int, NameKeys> keys)
{
    m_keys = std::move(keys);
}

int ItemFinder::chosenCode() const
{
    const int row = m_list->currentRow();
    return row >= 0 && row < int(m_codes.size()) ? m_codes[std::size_t(row)] : 0;
}

void ItemFinder::refill()
{
    const std::string typed = m_field->text().toStdString();
    const std::vector<ItemEntry> found = findItems(Session::current().items().entries(), typed, kRows, m_keys);
    m_codes.clear();
    m_list->clearSpans();
    m_list->clearRows();
    if (found.empty() && typed.find_first_not_of(' ') != std::string::npos) {
        const int row = m_list->appendRow({QStringLiteral("无匹配的代码、名称或拼音")});
        m_list->setSpan(row, 0, 1, 2);
        m_list->setCellColour(row, 0, kLevelColour);
        return;
    }
    for (const ItemEntry& item : found) {
        m_codes.push_back(item.code);
        const int row = m_list->appendRow({QString::number(item.code), QString::fromStdString(item.name)});
        // As the overview shows them.
        m_list->setCellColour(row, 0, kVolumeColour);
        m_list->setCellColour(row, 1, kNameColour);
    }
    if (!m_codes.empty())
        m_list->setCurrentCell(0, 0);
}

void ItemFinder::moveChoice(int rows)
{
    if (m_codes.empty())
        return;
    const int row = std::clamp(m_list->currentRow() + rows, 0, int(m_codes.size()) - 1);
    m_list->setCurrentCell(row, 0);
}

bool ItemFinder::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != m_field || event->type() != QEvent::KeyPress)
        return QWidget::eventFilter(watched, event);
    switch (static_cast<QKeyEvent*>(event)->key()) {
    case Qt::Key_Up:
        moveChoice(-1);
        return true;
    case Qt::Key_Down:
        moveChoice(1);
        return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (const int code = chosenCode()) {
            close();
            emit itemChosen(code);
        }
        return true;
    case Qt::Key_Escape:
        close();
        return true;
    default:
        return false;
    }
}

void ItemFinder::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.fillRect(rect(), kGround);
    p.setPen(kFrame);
    p.drawRect(rect().adjusted(0, 0, -1, -1));
}

} // namespace market
