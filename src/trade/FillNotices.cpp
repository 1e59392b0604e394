#include "trade/FillNotices.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "platform/Notices.h"
#include "session/Session.h"
#include "trade/core/Cells.h"
#include "trade/core/Fills.h"

namespace trade {

FillNotices::FillNotices(platform::Notices& notices, QObject* parent)
    : QObject(parent)
    , m_notices(notices)
    , m_poller(std::make_unique<AccountPoller>())
{
    m_poller->fills().connect(this, FillWatch(), [this](const std::vector<TradeRow>& fills) { show(fills); });
    m_timer.setInterval(kPollMs);
    connect(&m_timer, &QTimer::timeout, this, &FillNotices::poll);
}

// The poller's thread ends before the watch it reads with.
FillNotices::~FillNotices() { m_poller.reset(); }

bool FillNotices::start()
{
    if (!m_poller->start())
        return false;
    m_timer.start();
    poll(); // learns what is there now, so the first fill is told at the next tick
    return true;
}

void FillNotices::poll()
{
    const Session& session = Session::current();
    if (!session.loggedIn()) {
        m_wasLoggedIn = false;
        return;
    }
    const std::string id = session.userId();
    if (!m_wasLoggedIn || id != m_userId) {
        // A login: what was told belonged to the last one.
        m_wasLoggedIn = true;
        m_userId = id;
        ++m_login;
        m_told.clear();
        emit toldChanged();
    }
    m_poller->requestFills(m_userId, m_login);
}

void FillNotices::show(const std::vector<TradeRow>& fills)
{
    // A reply for a login that has since ended is no news of this one.
    if (!m_wasLoggedIn)
        return;
    m_told.insert(m_told.end(), fills.begin(), fills.end());
    emit toldChanged();
    emit filled();
    if (!m_notices.settings().fills)
        return;
    QStringList lines;
    for (const TradeRow& fill : fills)
        lines << fillLine(fill);
    m_notices.tell(QStringLiteral("成交回报"), lines);
}

FillNoticesDlg::FillNoticesDlg(FillNotices& fills, QWidget* parent)
    : QWidget(parent, Qt::Tool)
    , m_source(fills)
{
    setObjectName(QStringLiteral("FillNoticesDlg"));
    setWindowTitle(QStringLiteral("成交回报"));
    resize(640, 360);
    auto* layout = new QVBoxLayout(this);
    m_list = new QTreeWidget(this);
    m_list->setObjectName(QStringLiteral("fillList"));
    m_list->setRootIsDecorated(false);
    m_list->setHeaderLabels({QStringLiteral("成交时间"), QStringLiteral("买卖方向"), QStringLiteral("产品代码"),
                             QStringLiteral("产品名称"), QStringLiteral("成交价格"), QStringLiteral("成交数量")});
    m_list->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    layout->addWidget(m_list);
    auto* switches = new QHBoxLayout;
    const auto addSwitch = [&](const char* name, const char* text) {
        auto* box = new QCheckBox(QString::fromUtf8(text), this);
        box->setObjectName(QString::fromLatin1(name));
        switches->addWidget(box);
        return box;
    };
    m_fills = addSwitch("fillsSwitch", "成交提示");
    m_sound = addSwitch("soundSwitch", "声音");
    m_desktop = addSwitch("desktopSwitch", "桌面通知");
    switches->addStretch();
    layout->addLayout(switches);

    const platform::NoticeSettings s = fills.notices().settings();
    m_fills->setChecked(s.fills);
    m_sound->setChecked(s.sound);
    m_desktop->setChecked(s.desktop);
    for (QCheckBox* box : {m_fills, m_sound, m_desktop})
        connect(box, &QCheckBox::toggled, this, &FillNoticesDlg::keepSwitches);
    connect(&fills, &FillNotices::toldChanged, this, &FillNoticesDlg::fillList);
    fillList();
}

void FillNoticesDlg::fillList()
{
    m_list->clear();
    // The newest first, as the notices show them.
    const std::vector<TradeRow>& told = m_source.told();
    for (auto it = told.rbegin(); it != told.rend(); ++it) {
        auto* item = new QTreeWidgetItem(m_list);
        item->setText(0, localTimeText(it->tradeTime, TimeStyle::Padded));
        item->setText(1, directionText(it->direction));
        item->setText(2, QString::number(it->stockId));
        item->setText(3, QString::fromStdString(it->name));
        item->setText(4, moneyText(it->dealPrice));
        item->setText(5, QString::number(it->dealedAmount));
    }
}

void FillNoticesDlg::keepSwitches()
{
    m_source.notices().setSettings({m_fills->isChecked(), m_sound->isChecked(), m_desktop->isChecked()});
}

} // namespace trade
