#include "market/Right_Msg_Dlg.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QtMath>

#include "client/CodePage.h"
#include "client/Numbers.h"
#include "market/core/CUPdate_rightdlg_thread.h"
#include "market/core/RealtimeQuote.h"
#include "platform/Dialogs.h"
#include "platform/Fonts.h"
#include "platform/Trace.h"
#include "platform/core/Colours.h"
#include "session/Session.h"

namespace {

const QColor kBackground(21, 21, 21);
const QColor kHeader(37, 37, 37);
const QColor kSeparator(80, 80, 80);
const QColor& kLevel = platform::TextOnDark;

QColor toneColour(market::Tone tone)
{
    switch (tone) {
    case market::Tone::Up: return platform::RiseColour;
    case market::Tone::Down: return platform::FallColour;
    case market::Tone::Volume: return platform::VolumeColour;
    case market::Tone::Level: break;
    }
    return kLevel;
}

void drawText(QPainter& p, const QRect& r, int flags, const std::string& text, const QColor& colour)
{
    p.setPen(colour);
    p.drawText(r, flags, QString::fromStdString(text));
}

} // namespace

Right_Msg_Dlg::Right_Msg_Dlg(QWidget* parent, int workWidth, int workHeight)
    : QWidget(parent), m_font(platform::font(QStringLiteral("宋体"), 13))
{
    setObjectName(QStringLiteral("Right_Msg_Dlg"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::StrongFocus);
    setGeometry(market::QuotePanelLayout::placement(workWidth, workHeight));
    m_size = size();
    m_ratio = devicePixelRatioF();
    m_layout = market::QuotePanelLayout::compute(QRect(QPoint(0, 0), m_size));
    m_image = makeImage(m_size);
    m_timer1.setInterval(3000);
    connect(&m_timer1, &QTimer::timeout, this, [this] { requestPair(market::Handover::IfChanged); });
}

Right_Msg_Dlg::~Right_Msg_Dlg()
{
    // The poller calls back into this panel: stop it before the panel goes.
    m_poller.reset();
}

bool Right_Msg_Dlg::initialise()
{
    if (m_poller)
        return m_poller->isRunning();
    m_poller = std::make_unique<CUPdate_rightdlg_thread>();
    m_poller->quote().connect(this, &Right_Msg_Dlg::readQuote, [this](const Quote& q) { showQuote(q); });
    m_poller->ticks().connect(this, &Right_Msg_Dlg::readTicks, [this](const Ticks& t) { showTicks(t); });
    if (!m_poller->start()) {
        platform::messageBox(this, QString::fromUtf8(market::kThreadStartFailedText), platform::MsgButtons::Ok,
                             platform::MsgIcon::Error);
        return false;
    }
    m_timer1.start();
    return true;
}

void Right_Msg_Dlg::requestPair(market::Handover handover)
{
    if (!m_poller || !m_poller->isRunning())
        return;
    const market::CurrentItem item = Session::current().currentItem();
    m_poller->requestQuote(item, handover);
    m_poller->requestTicks(item, handover);
}

QImage Right_Msg_Dlg::makeImage(QSize size) const
{
    QImage image(qCeil(size.width() * m_ratio), qCeil(size.height() * m_ratio), QImage::Format_RGB32);
    image.setDevicePixelRatio(m_ratio);
    image.fill(kBackground);
    return image;
}

QImage Right_Msg_Dlg::drawQuote(const market::RealtimeQuote& quote) const
{
    const int quoteBottom = m_layout.quoteBottom;
    QImage area = makeImage(QSize(m_size.width(), quoteBottom));
    QPainter p(&area);
    p.fillRect(0, 0, m_size.width(), 28, kHeader);
    p.setFont(m_font);
    const auto& labels = market::QuoteLabels();
    for (int k = 0; k < 28; ++k)
        // Text sits at the top of its row so the separators run just below it.
        drawText(p, m_layout.labels[k], Qt::AlignHCenter | Qt::AlignTop | Qt::TextWordWrap, labels[k], kLevel);
    p.setPen(QPen(kSeparator, 1));
    for (int k : {0, 5, 10, 12, 17}) {
        const int y = m_layout.values[k].bottom() + 1 - 10;
        p.drawLine(0, y, m_size.width(), y);
    }

    if (quote.parsed) {
        drawText(p, QRect(0, 3, m_size.width(), 25), Qt::AlignCenter, quote.title, kLevel);
        for (int k = 0; k < 38; ++k) {
            drawText(p, m_layout.values[k], Qt::AlignRight | Qt::AlignTop, quote.values[k].text,
                     toneColour(quote.values[k].tone));
        }
    }
    return area;
}

QImage Right_Msg_Dlg::drawTicks(const std::vector<market::TickRow>& rows) const
{
    const int top = m_layout.quoteBottom;
    const int w = m_size.width();
    const int areaHeight = std::max(1, m_size.height() - top);
    QImage area = makeImage(QSize(w, areaHeight));
    QPainter p(&area);
    p.setFont(m_font);
    p.fillRect(0, 0, w, 28, kHeader);
    drawText(p, QRect(0, 0, w, 28), Qt::AlignCenter, "分时成交", kLevel);

    const int o = w / 3;
    for (size_t i = 0; i < rows.size(); ++i) {
        const int y = 28 + 23 * static_cast<int>(i);
        if (y >= areaHeight)
            break; // the rest would be clipped anyway
        const auto& row = rows[i];
        drawText(p, QRect(20, y, o, 23), Qt::AlignLeft | Qt::AlignVCenter, row.time, kLevel);
        drawText(p, QRect(o, y, o - 20, 23), Qt::AlignRight | Qt::AlignVCenter, row.price.text,
                 toneColour(row.price.tone));
        drawText(p, QRect(2 * o - 20, y, w - 25 - (2 * o - 20), 23), Qt::AlignRight | Qt::AlignVCenter,
                 row.volume.text, toneColour(row.volume.tone));
        p.setPen(QPen(Qt::black, 1));
        p.drawLine(0, y + 19, w, y + 19);
    }
    return area;
}

bool Right_Msg_Dlg::adopt(const market::CurrentItem& item)
{
    const market::ShownGeneration::Verdict verdict = m_shown.offer(item.generation);
    if (verdict == market::ShownGeneration::Verdict::Newer)
        clearAreas(); // the other area still shows the item the panel left
    return verdict != market::ShownGeneration::Verdict::Drop;
}

void Right_Msg_Dlg::store(const QImage& area, int top)
{
    {
        QPainter copy(&m_image);
        copy.drawImage(0, top, area);
    }
    // Painted at once, so this paint and no other is known to be ours.
    m_selfRepaint = true;
    repaint(QRect(QPoint(0, top), area.deviceIndependentSize().toSize()));
    m_selfRepaint = false;
}

void Right_Msg_Dlg::clearAreas()
{
    QPainter copy(&m_image);
    copy.drawImage(0, 0, drawQuote({}));
    copy.drawImage(0, m_layout.quoteBottom, drawTicks({}));
    m_opening = 0.0f;
    m_levels = {};
    m_levelItem = 0;
}

Right_Msg_Dlg::Quote Right_Msg_Dlg::readQuote(const std::string& wireReply, const market::CurrentItem& item)
{
    platform::trace("YOU实时信息\n");
    platform::traceWire(wireReply);
    platform::trace("\n");
    Quote read{item, market::parseRealtime(client::wireToUtf8(wireReply))};
    if (read.quote.parsed)
        platform::trace("\n昨收：" + client::fixedDecimals(read.quote.reference, 6) + "\n");
    return read;
}

Right_Msg_Dlg::Ticks Right_Msg_Dlg::readTicks(const std::string& wireReply, const market::CurrentItem& item)
{
    platform::trace("YOU分时成交\n");
    platform::traceWire(wireReply);
    platform::trace("\n分时成交结束\n");
    return {item, market::readDealTicks(client::wireToUtf8(wireReply))};
}

void Right_Msg_Dlg::showQuote(const Quote& quote)
{
    if (!adopt(quote.item))
        return;
    store(drawQuote(quote.quote), 0);
    if (quote.quote.parsed) {
        m_opening = quote.quote.opening;
        m_levels = quote.quote.levelPrices;
        m_levelItem = quote.item.code;
    }
    if (quote.quote.latest)
        emit latestShown(quote.item.code, *quote.quote.latest);
}

void Right_Msg_Dlg::showTicks(const Ticks& ticks)
{
    if (!adopt(ticks.item))
        return;
    store(drawTicks(market::dealTickRows(ticks.ticks, m_opening)), m_layout.quoteBottom);
}

void Right_Msg_Dlg::LoadRealtime(const std::string& wireReply)
{
    LoadRealtime(wireReply, Session::current().currentItem());
}

void Right_Msg_Dlg::LoadRealtime(const std::string& wireReply, const market::CurrentItem& item)
{
    showQuote(readQuote(wireReply, item));
}

void Right_Msg_Dlg::LoadDealTicks(const std::string& wireReply)
{
    LoadDealTicks(wireReply, Session::current().currentItem());
}

void Right_Msg_Dlg::LoadDealTicks(const std::string& wireReply, const market::CurrentItem& item)
{
    showTicks(readTicks(wireReply, item));
}

void Right_Msg_Dlg::showItem(const market::CurrentItem& item)
{
    if (m_shown.offer(item.generation) == market::ShownGeneration::Verdict::Newer)
        clearAreas();
    update();
    requestPair(market::Handover::Always);
}

QImage Right_Msg_Dlg::snapshot() const
{
    return m_image.copy();
}

void Right_Msg_Dlg::paintEvent(QPaintEvent* event)
{
    {
        QPainter p(this);
        const QRectF target(event->rect());
        p.drawImage(target, m_image, QRectF(target.topLeft() * m_ratio, target.size() * m_ratio));
    }
    if (!m_selfRepaint)
        requestPair(market::Handover::Always);
}

void Right_Msg_Dlg::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        event->accept(); // swallowed: Enter neither closes the panel nor reaches its controls
        return;
    }
    QWidget::keyPressEvent(event);
}

void Right_Msg_Dlg::takeLevel(QMouseEvent* event, void (Right_Msg_Dlg::*signal)(int, bool, double))
{
    if (event->button() != Qt::LeftButton)
        return;
    const int row = m_layout.levelRowAt(event->position().toPoint());
    if (row < 0 || m_levelItem <= 0 || m_levels[size_t(row)] <= 0.0)
        return;
    event->accept();
    emit(this->*signal)(m_levelItem, market::isAskRow(row), m_levels[size_t(row)]);
}

void Right_Msg_Dlg::mousePressEvent(QMouseEvent* event)
{
    QWidget::mousePressEvent(event);
    takeLevel(event, &Right_Msg_Dlg::levelClicked);
}

void Right_Msg_Dlg::mouseDoubleClickEvent(QMouseEvent* event)
{
    QWidget::mouseDoubleClickEvent(event);
    takeLevel(event, &Right_Msg_Dlg::levelDoubleClicked);
}
