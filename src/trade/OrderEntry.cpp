#include "trade/OrderEntry.h"

#include <QAction>
#include <QIcon>
#include <QImage>
#include <QKeyEvent>
#include <QMenu>
#include <QPainter>
#include <QRegularExpressionValidator>
#include <QWidget>

#include "client/Call.h"
#include "controls/CMyEdit.h"
#include "controls/CSkinEdit.h"
#include "market/core/Pollers.h"
#include "platform/core/Colours.h"
#include "platform/Dialogs.h"
#include "platform/Fonts.h"
#include "platform/Windows.h"
#include "trade/core/Cells.h"
#include "trade/Lists.h"
#include "trade/OrderOutcomes.h"
#include "trade/QuoteBox.h"
#include "trade/Submit.h"
#include "trade/UsableCash.h"
#include "trade/WindowLook.h"
#include "session/Session.h"

namespace trade {
namespace {

constexpr client::TraceLines kPositionsTrace{"\n持仓\n", "\n结束持仓\n"};

bool isEnter(const QEvent* event)
{
    if (event->type() != QEvent::KeyPress)
        return false;
    const int key = static_cast<const QKeyEvent*>(event)->key();
    return key == Qt::Key_Return || key == Qt::Key_Enter;
}

void digitsOnly(QLineEdit* edit)
{
    edit->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), edit));
}

bool opensPresets(const QEvent* event)
{
    if (event->type() != QEvent::KeyPress)
        return false;
    const auto* key = static_cast<const QKeyEvent*>(event);
    return key->key() == Qt::Key_Down && key->modifiers() == Qt::AltModifier;
}

QIcon presetIcon()
{
    QPixmap pixmap(12, 12);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(platform::TextOnLight);
    p.drawPolygon(QPolygonF({QPointF(2, 4), QPointF(10, 4), QPointF(6, 9)}));
    return QIcon(pixmap);
}

std::optional<Holding> holdingOf(const client::ApiReply& reply, const QString& code)
{
    return FindHolding(reply, integerOf(code.toStdString()));
}

} // namespace

OrderEntry::OrderEntry(QWidget* host, const OrderEntryLayout& layout)
    : QObject(host)
    , m_host(host)
    , m_layout(layout)
    , m_code(new CSkinEdit(host))
    , m_price(new CMyEdit(host))
    , m_quantity(new CSkinEdit(host))
    , m_presetButton(m_quantity->addAction(presetIcon(), QLineEdit::TrailingPosition))
    , m_presetMenu(new QMenu(host))
    , m_background(this)
{
    const std::pair<QLineEdit*, FieldPlace> fields[] = {
        {m_code, layout.code}, {m_price, layout.price}, {m_quantity, layout.quantity}};
    for (const auto& [edit, place] : fields) {
        edit->setObjectName(QString::number(place.id));
        edit->setGeometry(place.rect);
        if (layout.style == FormStyle::Panel)
            edit->setFont(platform::font(QStringLiteral("宋体"), 14));
        else
            edit->setFocusPolicy(Qt::StrongFocus);
        edit->installEventFilter(this);
    }
    if (layout.style == FormStyle::Panel) {
        digitsOnly(m_code);
        digitsOnly(m_quantity);
    } else {
        QWidget::setTabOrder(m_code, m_price);
        QWidget::setTabOrder(m_price, m_quantity);
    }
    connect(m_code, &QLineEdit::textChanged, this, &OrderEntry::codeEdited);

    m_presetButton->setToolTip(QString::fromUtf8(layout.kind.side == OrderSide::Buy ? "按可买数量填写数量"
                                                                                      : "按可卖数量填写数量"));
    for (const QuantityPreset& preset : kQuantityPresets) {
        const int parts = preset.parts;
        connect(m_presetMenu->addAction(QString::fromUtf8(preset.label)), &QAction::triggered, this,
                [this, parts] { fillPreset(parts); });
    }
    connect(m_presetButton, &QAction::triggered, this, &OrderEntry::showPresets);
    connect(m_presetMenu, &QMenu::aboutToShow, this, [this] {
        const std::int64_t figure = presetFigure();
        const QList<QAction*> actions = m_presetMenu->actions();
        for (qsizetype i = 0; i < actions.size(); ++i)
            actions[i]->setEnabled(presetQuantity(figure, kQuantityPresets[i].parts) > 0);
    });
    // A buy's figure follows the typed price at once; the box beside it on its own timer.
    connect(m_price, &QLineEdit::textChanged, this, &OrderEntry::updatePresets);
    connect(m_code, &QLineEdit::textChanged, this, &OrderEntry::updatePresets);
    updatePresets();

    if (layout.kind.side == OrderSide::Buy) {
        showNameAndCash();
        showMaxBuyable();
    }
    m_timer.setInterval(layout.timerInterval);
    connect(&m_timer, &QTimer::timeout, this, &OrderEntry::tick);
    if (!layout.timerWaitsForCodeLeft)
        m_timer.start();
}

QLineEdit* OrderEntry::codeField() const { return m_code; }
QLineEdit* OrderEntry::priceField() const { return m_price; }
QLineEdit* OrderEntry::quantityField() const { return m_quantity; }

OrderForm OrderEntry::form() const
{
    return {m_code->text().toStdString(), m_price->text().toStdString(), m_quantity->text().toStdString()};
}

void OrderEntry::clear()
{
    m_code->clear();
    m_price->clear();
    m_quantity->clear();
}

void OrderEntry::prefill(const QString& code, const QString& price)
{
    // A quantity typed for another item is not this one's; one kept for the same item is
    // selected, so that what is typed replaces it instead of running on from it.
    if (code != m_code->text())
        m_quantity->clear();
    m_code->setText(code);
    m_price->setText(price);
    tick();
    m_host->activateWindow();
    m_quantity->setFocus(Qt::OtherFocusReason);
    m_quantity->selectAll();
}

QString OrderEntry::boxText(int top) const
{
    if (m_layout.nameBox.rect.top() == top)
        return m_name;
    if (m_layout.cashBox && m_layout.cashBox->rect.top() == top)
        return m_cash;
    if (m_layout.figureBox.rect.top() == top)
        return m_figure;
    return QString();
}

void OrderEntry::tick()
{
    showNameAndCash();
    if (m_layout.kind.side == OrderSide::Buy)
        showMaxBuyable();
    lookUp();
}

void OrderEntry::codeLeft()
{
    if (m_layout.timerWaitsForCodeLeft)
        m_timer.start(); // (re)started: the first loss of focus sets it going
    showNameAndCash();
    if (m_layout.kind.side == OrderSide::Sell)
        lookUp();
}

void OrderEntry::codeEdited()
{
    // Another item's figures never stand beside this code: the quote box says "--" and the
    // sellable box nothing until this code's own lookup answers.
    const QString code = m_code->text();
    if (m_quote && code != m_quoteCode) {
        m_quote.reset();
        if (m_layout.quoteBox)
            m_host->update(*m_layout.quoteBox);
    }
    if (m_layout.kind.side == OrderSide::Sell)
        setFigure(m_holds && code == m_sellableCode ? QString::number(m_sellable) : QString());
}

void OrderEntry::showNameAndCash()
{
    m_name = itemNameForCode(m_code->text());
    updateBox(m_layout.nameBox);
    if (m_layout.cashBox) {
        m_cash = moneyText(Session::current().availableCash());
        updateBox(*m_layout.cashBox);
    }
}

void OrderEntry::showMaxBuyable()
{
    m_maxBuyable = trade::maxBuyable(Session::current().availableCash(), priceOf(form().price));
    setFigure(QString::number(m_maxBuyable));
}

std::optional<int> OrderEntry::quoteCode() const
{
    bool ok = false;
    const int code = m_code->text().toInt(&ok);
    if (!ok || code == 0)
        return std::nullopt;
    return code;
}

void OrderEntry::refreshQuote(bool tellRefusal)
{
    const std::optional<int> code = quoteCode();
    if (!code)
        return;
    m_background.supersede();
    takeQuote(market::fetchSingleItemQuote(*code),
              tellRefusal ? market::QuoteRefusal::Tell : market::QuoteRefusal::Quiet);
}

void OrderEntry::lookUp()
{
    const std::optional<int> code = m_layout.quoteBox ? quoteCode() : std::nullopt;
    const bool sale = m_layout.kind.side == OrderSide::Sell;
    if (!code && !sale)
        return;
    struct Replies
    {
        std::optional<client::ApiReply> quote;
        std::optional<client::ApiReply> positions;
    };
    const client::TraceLines trace = m_layout.style == FormStyle::Panel ? kPositionsTrace : client::kUntraced;
    // In the order the window has always asked: the quote, then the position.
    m_background.start(
        [code, sale, trace, params = userParams()]() mutable {
            Replies replies;
            if (code)
                replies.quote = market::fetchSingleItemQuote(*code, client::Lock::Unlocked);
            if (sale)
                replies.positions =
                    client::Call(client::Endpoint::CustomerItem, std::move(params), trace, client::Lock::Unlocked);
            return replies;
        },
        [this, typed = m_code->text()](const Replies& replies) {
            // Figures for a code the user has since changed are not this code's.
            if (typed != m_code->text())
                return;
            if (replies.quote)
                takeQuote(*replies.quote, market::QuoteRefusal::Quiet);
            if (replies.positions)
                takeHolding(typed, holdingOf(*replies.positions, typed));
        });
}

void OrderEntry::takeQuote(const client::ApiReply& reply, market::QuoteRefusal refusal)
{
    if (market::takeSingleItemQuote(reply, m_host, refusal) != market::QuoteOutcome::Updated)
        return;
    m_quote = Session::current().singleItemQuote();
    m_quoteCode = m_code->text();
    if (m_layout.quoteBox)
        m_host->update(*m_layout.quoteBox);
}

void OrderEntry::takeHolding(const QString& code, const std::optional<Holding>& holding)
{
    if (code != m_code->text())
        return;
    if (!holding) {
        // The figure stays as the last lookup left it; the pop-ups show none meanwhile.
        if (m_layout.style == FormStyle::PopUp)
            setFigure(QString());
        return;
    }
    m_holds = holding->found;
    m_sellable = holding->found ? holding->amountUsable : 0;
    m_sellableCode = code;
    setFigure(holding->found ? QString::number(m_sellable) : QString());
}

std::int64_t OrderEntry::sellableForTypedCode()
{
    // The panel's sale looks its position up first; a pop-up trusts its last lookup, unless
    // that was for another code.
    const QString code = m_code->text();
    if (m_layout.style == FormStyle::Panel || code != m_sellableCode) {
        m_background.supersede();
        const client::TraceLines trace = m_layout.style == FormStyle::Panel ? kPositionsTrace : client::kUntraced;
        takeHolding(code, holdingOf(client::Call(client::Endpoint::CustomerItem, userParams(), trace), code));
    }
    // A lookup that failed for this code leaves no figure of its own: nothing is sellable.
    return code == m_sellableCode ? m_sellable : 0;
}

void OrderEntry::placeOrder()
{
    // A second Enter while this order's boxes are up belongs to the boxes.
    if (m_placing)
        return;
    const OrderKind& kind = m_layout.kind;
    const OrderForm order = form();
    const PlacedOrder placed = placedOrder(order, kind.side);
    // Asked first: a held-back order costs no lookups.
    if (OrderOutcomes::instance().holdBack(m_host, placed))
        return;
    m_placing = true;
    const bool sale = kind.side == OrderSide::Sell;
    const double usableCash = sale ? 0.0 : QueryUsableCash();
    const std::int64_t sellable = sale ? sellableForTypedCode() : 0;
    Submission submission;
    submission.refusal = checkOrder(kind, order, usableCash, sellable);
    // The day's limits of the quote box, when it shows this code's.
    if (!submission.refusal && m_quote && m_quoteCode == m_code->text())
        submission.refusal = checkPriceLimits(order, m_quote->prices[3], m_quote->prices[2]);
    submission.question = kind.question;
    // The item named as the request carries its code: the quick buy's "09160001" is 9160001.
    const QString sentCode = kind.codeAsInteger ? QString::number(integerOf(order.code)) : m_code->text();
    submission.detail = orderDetail(kind, order, itemNameForCode(sentCode).toStdString());
    submission.endpoint = kind.endpoint;
    submission.params = orderParams(kind, order, Session::current().userId());
    submission.trace = kind.trace;
    submission.unanswered = kOutcomeUnknown;
    submit(m_host, submission, [this, placed, detail = submission.detail](const client::ApiReply& reply) {
        if (!reply.parsed)
            OrderOutcomes::instance().lookUp(m_host, placed, detail);
        emit orderSent(reply);
    });
    m_placing = false;
}

void OrderEntry::setFigure(const QString& text)
{
    m_figure = text;
    updateBox(m_layout.figureBox);
    updatePresets();
}

std::int64_t OrderEntry::presetFigure() const
{
    if (m_layout.kind.side == OrderSide::Buy)
        return trade::maxBuyable(Session::current().availableCash(), priceOf(form().price));
    return m_holds && m_code->text() == m_sellableCode ? m_sellable : 0;
}

void OrderEntry::updatePresets() { m_presetButton->setEnabled(presetFigure() > 0); }

void OrderEntry::showPresets()
{
    if (m_presetButton->isEnabled())
        m_presetMenu->popup(m_quantity->mapToGlobal(QPoint(0, m_quantity->height())));
}

void OrderEntry::fillPreset(int parts)
{
    // The box shows the figure the quantity is a share of.
    if (m_layout.kind.side == OrderSide::Buy)
        showMaxBuyable();
    const std::int64_t quantity = presetQuantity(presetFigure(), parts);
    if (quantity > 0) {
        m_quantity->setText(QString::number(quantity));
    } else {
        // The figure fell to nothing since the menu opened: the old quantity is not its share.
        platform::messageBox(m_host, QString::fromUtf8(m_layout.kind.side == OrderSide::Buy ? kNothingToBuy
                                                                                                : kNothingToSell));
    }
    m_quantity->setFocus(Qt::OtherFocusReason);
}

void OrderEntry::updateBox(const ValueBox& box) const { m_host->update(box.rect); }

void OrderEntry::paint(QPainter& p, const QFont& valueFont) const
{
    const std::pair<const ValueBox*, const QString*> values[] = {
        {&m_layout.nameBox, &m_name},
        {m_layout.cashBox ? &*m_layout.cashBox : nullptr, &m_cash},
        {&m_layout.figureBox, &m_figure},
    };
    if (m_layout.style == FormStyle::Panel) {
        p.setFont(valueFont);
        p.setPen(platform::TextOnLight);
        for (const auto& [box, text] : values) {
            if (box)
                p.drawText(box->rect, box->align | Qt::AlignVCenter | Qt::TextSingleLine, *text);
        }
    } else {
        // Each value is drawn into a box of its own, then copied in one step; the box is drawn
        // at the screen's own resolution.
        const qreal ratio = m_host->devicePixelRatioF();
        for (const auto& [box, text] : values) {
            if (!box)
                continue;
            QImage image(box->rect.size() * ratio, QImage::Format_RGB32);
            image.setDevicePixelRatio(ratio);
            image.fill(kWindowGround);
            QPainter bp(&image);
            bp.setFont(valueFont);
            bp.setPen(platform::TextOnLight);
            bp.drawText(QRect(QPoint(0, 0), box->rect.size()), box->align | Qt::TextWordWrap, *text);
            bp.end();
            p.drawImage(box->rect.topLeft(), image);
        }
    }
    if (m_layout.quoteBox)
        drawQuoteBox(p, *m_layout.quoteBox, m_quote ? &*m_quote : nullptr, valueFont);
}

bool OrderEntry::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != m_code && watched != m_price && watched != m_quantity)
        return false;
    // Enter is taken before a field sees it, so the order goes out with the text as typed.
    if (isEnter(event)) {
        if (m_layout.enterPlacesOrder && !static_cast<QKeyEvent*>(event)->isAutoRepeat())
            placeOrder();
        return true;
    }
    if (watched == m_quantity && opensPresets(event)) {
        showPresets();
        return true;
    }
    if (platform::leftByUser(event)) {
        if (watched == m_code)
            codeLeft();
        else if (watched == m_price && m_layout.kind.side == OrderSide::Buy)
            showMaxBuyable();
    }
    return false;
}

} // namespace trade
