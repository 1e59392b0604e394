#include "mainwnd/Detail_Trans_Dlg.h"

#include <QMouseEvent>
#include <QPainter>

#include "app/Detailsystimeset.h"
#include "app/Lock_Detail_dlg.h"
#include "client/CodePage.h"
#include "controls/CButtonBMP.h"
#include "controls/cMyTreeCtrl.h"
#include "platform/Bitmaps.h"
#include "platform/core/Colours.h"
#include "platform/Fonts.h"
#include "platform/Windows.h"
#include "platform/WorkArea.h"
#include "trade/OrderWindow.h"
#include "trade/PanelWindow.h"

namespace {

using Hosted = Detail_Trans_Dlg::Hosted;

// What a choice does to the chosen function's window once it is shown, in this order.
enum class OnChoice { ClearThenRefresh, Refresh, RefreshThenClear, Clear, ShowOnly };

struct Function
{
    const char* entry;
    int parent; // the root this entry sits under, -1 for a root
    const char* title;
    Hosted window;
    bool refreshButton; // the strip's refresh button reloads it
    int icon;
};

namespace bmp = platform::bmp;

// The functions in tree order; a function's index is its place here.
constexpr Function kFunctions[Detail_Trans_Dlg::kFunctionCount] = {
    {"普通交易", -1, "普通交易", Hosted::Buy, true, bmp::TreeGroupIcon},
    {"买入", 0, "买入", Hosted::Buy, true, bmp::TreeBuyIcon},
    {"卖出", 0, "卖出", Hosted::Sell, true, bmp::TreeSellIcon},
    {"撤单", 0, "撤单", Hosted::Cancel, true, bmp::TreeCancelIcon},
    {"交割申请", -1, "交割申请", Hosted::DeliveryApplication, true, bmp::TreeLeafIcon},
    {"出金", -1, "出金", Hosted::WithdrawalApplication, false, bmp::TreeGroupIcon},
    {"出金申请", 5, "出金申请", Hosted::WithdrawalApplication, false, bmp::TreeLeafIcon},
    {"出金状态查撤", 5, "出金状态查撤", Hosted::WithdrawalStatus, false, bmp::TreeLeafIcon},
    {"历史出金状态查询", 5, "历史出金状态查撤", Hosted::WithdrawalHistory, false, bmp::TreeLeafIcon},
    {"查询功能", -1, "查询功能", Hosted::Funds, true, bmp::TreeGroupIcon},
    {"资金持仓", 9, "资金持仓", Hosted::Funds, true, bmp::TreeLeafIcon},
    {"当日订单", 9, "当日订单", Hosted::TodayOrders, true, bmp::TreeLeafIcon},
    {"当日成交", 9, "当日成交", Hosted::TodayTrades, true, bmp::TreeLeafIcon},
    {"历史成交", 9, "历史成交", Hosted::TradeHistory, false, bmp::TreeLeafIcon},
    {"交割查询", 9, "交割查询", Hosted::DeliveryQuery, true, bmp::TreeLeafIcon},
    {"更改密码", -1, "更改密码", Hosted::ChangePassword, false, bmp::TreePasswordIcon},
    {"更改信息", -1, "更改信息", Hosted::ChangeDetails, false, bmp::TreeLeafIcon},
};

// Children of these roots go in by the tree's sorted insertion (text order in the wire
// code page), the others in table order.
bool sortsChildren(int root) { return root == 5 || root == 9; }

OnChoice onChoice(Hosted which)
{
    switch (which) {
    case Hosted::Buy:
    case Hosted::Sell: return OnChoice::ClearThenRefresh;
    case Hosted::Cancel:
    case Hosted::Funds:
    case Hosted::TodayOrders:
    case Hosted::TodayTrades:
    case Hosted::DeliveryQuery: return OnChoice::Refresh;
    case Hosted::DeliveryApplication: return OnChoice::RefreshThenClear;
    case Hosted::ChangePassword: return OnChoice::Clear;
    case Hosted::WithdrawalApplication:
    case Hosted::WithdrawalStatus:
    case Hosted::WithdrawalHistory:
    case Hosted::TradeHistory:
    case Hosted::ChangeDetails: return OnChoice::ShowOnly;
    }
    return OnChoice::ShowOnly;
}

const QColor kTitleText(48, 48, 48);

} // namespace

Detail_Trans_Dlg::Detail_Trans_Dlg(QWidget* marketWindow)
    : QWidget(marketWindow, Qt::Tool | Qt::FramelessWindowHint)
    , m_treeFont(platform::font(QStringLiteral("宋体"), 15))
{
    setObjectName(QStringLiteral("Detail_Trans_Dlg"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    dock();
    createControls();
    createTree();
    ensureWindow(Hosted::Buy)->hide();
}

Detail_Trans_Dlg::~Detail_Trans_Dlg() = default;

QRect Detail_Trans_Dlg::dockedPlace()
{
    const QRect area = platform::workArea();
    return platform::edges(area.left(), area.top() + area.height() - 369, area.left() + area.width(),
                           area.top() + area.height() - 29);
}

void Detail_Trans_Dlg::dock() { platform::placeAt(this, dockedPlace()); }

void Detail_Trans_Dlg::createControls()
{
    auto button = [this](int id, const char* caption, CButtonBMP::Bitmaps images, const QRect& rect,
                         void (Detail_Trans_Dlg::*run)()) {
        auto* b = CButtonBMP::Create(this, id, QString::fromUtf8(caption), images, rect);
        b->setFont(platform::font(QStringLiteral("宋体"), 14));
        connect(b, &QPushButton::clicked, this, run);
        return b;
    };
    const CButtonBMP::Bitmaps wide{bmp::PanelButton, bmp::PanelButtonHover, bmp::PanelButtonPressed};
    const int w = width();
    auto* header = button(kClose, "产品", {bmp::PanelHeader, bmp::PanelHeaderHover, bmp::PanelHeaderPressed},
                          platform::edges(0, 0, kTreeWidth, 28), &Detail_Trans_Dlg::closePanel);
    header->setFont(platform::font(QStringLiteral("宋体"), 16));
    m_corner = button(kClose, "", {bmp::PanelClose, bmp::PanelCloseHover, bmp::PanelClosePressed},
                      platform::edges(w - 14, 0, w, 26), &Detail_Trans_Dlg::closePanel);
    m_corner->setToolTip(QStringLiteral("关闭"));
    m_hide = button(kHide, "", {bmp::PanelHide, bmp::PanelHideHover, bmp::PanelHidePressed},
                    platform::edges(w - 38, 0, w - 24, 26), &Detail_Trans_Dlg::hidePanel);
    m_hide->setToolTip(QStringLiteral("隐藏"));
    m_lockButton =
        button(kLock, "锁屏", wide, platform::edges(w - 118, 0, w - 48, 26), &Detail_Trans_Dlg::lockPanel);
    m_refresh =
        button(kRefresh, "刷新", wide, platform::edges(w - 198, 0, w - 128, 26), &Detail_Trans_Dlg::refreshShown);
    m_lockTimeButton = button(kLockTime, "锁定时间", wide, platform::edges(w - 278, 0, w - 208, 26),
                              &Detail_Trans_Dlg::toggleLockTime);
}

void Detail_Trans_Dlg::createTree()
{
    m_tree = new cMyTreeCtrl(this);
    m_tree->setObjectName(QString::number(kTree));
    m_tree->setGeometry(platform::edges(0, 30, kTreeWidth, height()));
    m_tree->setFont(m_treeFont);
    m_tree->setIconSize(QSize(16, 16));
    m_tree->setRootIsDecorated(true);
    m_tree->setUniformRowHeights(true);
    m_tree->setDragDropMode(QAbstractItemView::NoDragDrop);
    m_tree->setFrameShape(QFrame::NoFrame);
    // The selection stays visible while the keyboard is elsewhere.
    QPalette palette = m_tree->palette();
    palette.setColor(QPalette::Base, Qt::white);
    palette.setColor(QPalette::Inactive, QPalette::Highlight, palette.color(QPalette::Active, QPalette::Highlight));
    palette.setColor(QPalette::Inactive, QPalette::HighlightedText,
                     palette.color(QPalette::Active, QPalette::HighlightedText));
    m_tree->setPalette(palette);

    for (int f = 0; f < kFunctionCount; ++f) {
        const Function& fn = kFunctions[f];
        auto* item = new QTreeWidgetItem(QStringList{QString::fromUtf8(fn.entry)});
        item->setIcon(0, QIcon(QPixmap::fromImage(platform::bitmap(fn.icon))));
        item->setSizeHint(0, QSize(0, 28));
        m_entries[size_t(f)] = item;
        if (fn.parent < 0) {
            m_tree->addTopLevelItem(item);
            continue;
        }
        QTreeWidgetItem* root = m_entries[size_t(fn.parent)];
        int at = root->childCount();
        if (sortsChildren(fn.parent)) {
            const std::string key = client::utf8ToWire(fn.entry);
            at = 0;
            while (at < root->childCount() && client::utf8ToWire(root->child(at)->text(0).toStdString()) <= key)
                ++at;
        }
        root->insertChild(at, item);
    }
    m_tree->collapseAll();

    // The selection, not the current item: focus alone makes an item current without
    // anyone choosing it.
    connect(m_tree, &QTreeWidget::itemSelectionChanged, this, &Detail_Trans_Dlg::onSelectionChanged);
    connect(m_tree, &cMyTreeCtrl::selectionNotified, this, &Detail_Trans_Dlg::onTreeRelease);
    m_tree->viewport()->installEventFilter(this);
}

QString Detail_Trans_Dlg::entryText(int function) { return QString::fromUtf8(kFunctions[function].entry); }

int Detail_Trans_Dlg::functionOfEntry(const QString& text)
{
    for (int f = 0; f < kFunctionCount; ++f) {
        if (text == entryText(f))
            return f;
    }
    return -1;
}

QString Detail_Trans_Dlg::title() const { return QString::fromUtf8(kFunctions[m_chosen].title); }

QTreeWidgetItem* Detail_Trans_Dlg::selectedEntry() const
{
    const QList<QTreeWidgetItem*> selected = m_tree->selectedItems();
    return selected.isEmpty() ? nullptr : selected.first();
}

void Detail_Trans_Dlg::onSelectionChanged()
{
    if (const QTreeWidgetItem* item = selectedEntry()) {
        if (const int f = functionOfEntry(item->text(0)); f >= 0)
            choose(f);
    }
}

bool Detail_Trans_Dlg::eventFilter(QObject* watched, QEvent* event)
{
    // A press decides whether the release that follows reloads: only when it lands on the
    // entry already chosen (a press that changes the entry has chosen it already).
    if (m_tree && watched == m_tree->viewport() && event->type() == QEvent::MouseButtonPress) {
        const auto* press = static_cast<QMouseEvent*>(event);
        const QTreeWidgetItem* item = m_tree->itemAt(press->position().toPoint());
        m_pressOnChosenEntry = item && item == selectedEntry();
    }
    return QWidget::eventFilter(watched, event);
}

void Detail_Trans_Dlg::onTreeRelease(QTreeWidgetItem* item)
{
    const bool again = m_pressOnChosenEntry && item && item == selectedEntry();
    m_pressOnChosenEntry = false;
    if (again)
        onSelectionChanged();
}

QRect Detail_Trans_Dlg::hostedPlace(Hosted which) const
{
    if (which == Hosted::ChangeDetails)
        return platform::edges(kTreeWidth, 29, width(), height() - 1);
    return platform::edges(kTreeWidth, kStripHeight, width(), height());
}

trade::PanelWindow* Detail_Trans_Dlg::ensureWindow(Hosted which)
{
    QPointer<trade::PanelWindow>& window = m_windows[size_t(which)];
    if (!window) {
        window = createHostedWindow(which, this);
        window->setGeometry(hostedPlace(which));
        if (auto* order = qobject_cast<trade::OrderWindow*>(window.data()))
            connect(order, &trade::OrderWindow::holdingOpened, this, [this](const QString& code) {
                bool ok = false;
                const int item = code.toInt(&ok);
                if (ok && item > 0)
                    openSale(item);
            });
    }
    return window;
}

void Detail_Trans_Dlg::choose(int function)
{
    if (function < 0 || function >= kFunctionCount)
        return;
    m_chosen = function;
    update(QRect(280, 5, 160, 25));
    const Hosted chosen = kFunctions[function].window;
    for (int h = 0; h < kHostedCount; ++h) {
        const auto which = static_cast<Hosted>(h);
        if (which != chosen) {
            if (m_windows[size_t(h)])
                m_windows[size_t(h)]->hide();
            continue;
        }
        trade::PanelWindow* window = ensureWindow(which);
        window->setGeometry(hostedPlace(which));
        window->show();
        switch (onChoice(which)) {
        case OnChoice::ClearThenRefresh:
            window->clearInputs();
            window->refresh();
            openOnItem(which, which == Hosted::Sell ? m_saleCode : 0);
            break;
        case OnChoice::Refresh: window->refresh(); break;
        case OnChoice::RefreshThenClear:
            window->refresh();
            window->clearInputs();
            break;
        case OnChoice::Clear: window->clearInputs(); break;
        case OnChoice::ShowOnly: break;
        }
    }
    keepLockOnTop();
}

void Detail_Trans_Dlg::openOnItem(Hosted which, int code)
{
    auto* order = qobject_cast<trade::OrderWindow*>(m_windows[size_t(which)].data());
    if (!m_opener || !order)
        return;
    const Opening opening = m_opener(which, code);
    if (opening.code > 0)
        order->entry().prefill(QString::number(opening.code), opening.price);
}

void Detail_Trans_Dlg::openSale(int code)
{
    const int sale = functionOfEntry(QStringLiteral("卖出"));
    m_saleCode = code;
    if (selectedEntry() == entry(sale))
        choose(sale);
    else
        m_tree->setCurrentItem(entry(sale)); // the tree follows, and its selection chooses
    m_saleCode = 0;
    if (!m_opener) // no opener to ask for a price: the code alone
        if (auto* sale = qobject_cast<trade::OrderWindow*>(hostedWindow(Hosted::Sell)))
            sale->entry().prefill(QString::number(code), QString());
}

void Detail_Trans_Dlg::showBuyWindow()
{
    trade::PanelWindow* buy = ensureWindow(Hosted::Buy);
    for (int h = 0; h < kHostedCount; ++h) {
        if (h != int(Hosted::Buy) && m_windows[size_t(h)])
            m_windows[size_t(h)]->hide();
    }
    buy->setGeometry(hostedPlace(Hosted::Buy));
    buy->show();
    keepLockOnTop();
    buy->refresh();
}

bool Detail_Trans_Dlg::showsAWindow() const
{
    for (const QPointer<trade::PanelWindow>& window : m_windows) {
        if (window && !window->isHidden())
            return true;
    }
    return false;
}

void Detail_Trans_Dlg::keepLockOnTop()
{
    if (isLocked())
        m_lock->raise();
}

bool Detail_Trans_Dlg::isLocked() const { return m_lock && m_lock->isLocked(); }

void Detail_Trans_Dlg::closePanel()
{
    deleteLater();
    hide();
}

void Detail_Trans_Dlg::hidePanel()
{
    // The function windows go with the panel and come back with it.
    hide();
}

void Detail_Trans_Dlg::lockPanel()
{
    if (!m_lock) {
        m_lock = new Lock_Detail_dlg(this);
        connect(m_lock, &Lock_Detail_dlg::hideRequested, this, &Detail_Trans_Dlg::hidePanel);
        connect(m_lock, &Lock_Detail_dlg::tradingLeft, this, [this] {
            hide();
            deleteLater();
        });
    }
    m_lock->lock();
    emit locked();
}

void Detail_Trans_Dlg::refreshShown()
{
    if (!kFunctions[m_chosen].refreshButton)
        return;
    if (trade::PanelWindow* window = m_windows[size_t(kFunctions[m_chosen].window)]; window && window->isVisible())
        window->refresh();
}

void Detail_Trans_Dlg::toggleLockTime()
{
    if (m_lockTime && m_lockTime->isVisible()) {
        m_lockTime->hide();
        return;
    }
    if (!m_lockTime)
        m_lockTime = new Detailsystimeset(this);
    const QRect panel = geometry();
    platform::placeAt(m_lockTime, platform::edges(panel.right() + 1 - 300, panel.top() - 50, panel.right() + 1 - 80,
                                                  panel.top()));
    m_lockTime->show();
    m_lockTime->raise();
}

void Detail_Trans_Dlg::resizeEvent(QResizeEvent*)
{
    const int w = width();
    if (m_corner) {
        m_corner->move(w - 14, 0);
        m_hide->move(w - 38, 0);
        m_lockButton->move(w - 118, 0);
        m_refresh->move(w - 198, 0);
        m_lockTimeButton->move(w - 278, 0);
    }
    if (m_tree)
        m_tree->setGeometry(platform::edges(0, 30, kTreeWidth, height()));
    for (int h = 0; h < kHostedCount; ++h) {
        if (m_windows[size_t(h)])
            m_windows[size_t(h)]->setGeometry(hostedPlace(static_cast<Hosted>(h)));
    }
}

void Detail_Trans_Dlg::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.fillRect(rect(), Qt::white);
    // The title in its 160 x 25 cell: a long one is cut at the cell's edge.
    const QRect cell(280, 5, 160, 25);
    p.setClipRect(cell);
    p.setFont(m_treeFont);
    p.setPen(kTitleText);
    p.drawText(QPoint(cell.left() + 5, cell.top() + p.fontMetrics().ascent()), title());
}

void Detail_Trans_Dlg::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        platform::dragWindow(this);
    else
        QWidget::mousePressEvent(event);
}
