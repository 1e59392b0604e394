// What a user can paste or type into every field of the order windows and the account forms:
// each field keeps only what its rule allows, and a request either goes out with exactly the
// figures on the screen, its signature covering the very body the service receives, or is
// refused with a message before anything is sent.
#include <filesystem>
#include <functional>
#include <memory>

#include <QClipboard>
#include <QGuiApplication>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QTest>
#include <QThreadPool>

#include "session/Session.h"
#include "client/ApiSign.h"
#include "client/Endpoints.h"
#include "client/Options.h"
#include "client/ServerLine.h"
#include "controls/CSkinEdit.h"
#include "session/Session.h"
#include "market/core/Pollers.h"
#include "platform/Dialogs.h"
#include "support/LoopbackServer.h"
#include "support/TradeReplies.h"
#include "support/SignedIn.h"
#include "trade/AccountForms.h"
#include "trade/Buying_dlg.h"
#include "trade/Delivery.h"
#include "trade/core/OrderChecks.h"
#include "trade/Selling_dlg.h"
#include "trade/low_Delivery_Application_Dlg.h"
#include "trade/low_Gold_Application_Dlg.h"
#include "trade/low_change_message_dlg.h"
#include "trade/low_change_passd_dlg.h"
#include "trade/low_deal_buy_dlg.h"
#include "trade/low_deal_sell_dlg.h"

using testsupport::RecordedRequest;

namespace {

enum class Window { PanelBuy, PanelSell, QuickBuy, QuickSell };
enum class Field { Code, Price, Quantity };

QString u(const char* utf8) { return QString::fromUtf8(utf8); }

// As the context menu's paste does: the clipboard's text replaces the field's.
void paste(QLineEdit* field, const QString& text)
{
    field->setFocus();
    field->selectAll();
    QGuiApplication::clipboard()->setText(text);
    field->paste();
}

// The members of a body the service accepts as signed; fails the test otherwise.
std::map<std::string, std::string> verified(client::Endpoint endpoint, const RecordedRequest& request)
{
    const client::VerifiedBody body =
        client::verifySignedBody(client::endpointInfo(endpoint), request.body, Session::current().options().signKey);
    if (!body.ok)
        qWarning("refused body (%s): %s", body.error.c_str(), request.body.c_str());
    return body.ok ? body.params : std::map<std::string, std::string>{};
}

std::vector<RecordedRequest> requestsTo(const testsupport::LoopbackServer& server, const std::string& path)
{
    std::vector<RecordedRequest> out;
    for (const RecordedRequest& r : server.requests()) {
        if (r.path == path)
            out.push_back(r);
    }
    return out;
}

} // namespace

Q_DECLARE_METATYPE(Window)
Q_DECLARE_METATYPE(Field)

class BadInputTest final : public QObject
{
    Q_OBJECT

private:
    const std::string m_host = testsupport::UniqueLoopbackAddress(14);
    std::unique_ptr<testsupport::TradeScript> m_script;
    std::unique_ptr<testsupport::LoopbackServer> m_server;
    std::unique_ptr<platform::MessageBoxRecorder> m_boxes;

private slots:
    void initTestCase()
    {
        client::Options o = client::defaultOptions();
        o.line0Host = m_host;
        Session::current().setOptions(o);
        client::LoadLineChoice(std::filesystem::temp_directory_path() / "velmora-bad-input-no-connect-file");
        testsupport::logInAs("100001");
        Session::current().storeItems({{9160001, "Tolmere小酒窖", 36.0f}}, 1);
    }

    void init()
    {
        m_script = std::make_unique<testsupport::TradeScript>();
        m_server = std::make_unique<testsupport::LoopbackServer>(m_host, client::kTradePort, m_script->handler());
        m_boxes = std::make_unique<platform::MessageBoxRecorder>(platform::MsgResult::Yes);
        Session::current().setAvailableCash(480000.5f);
        Session::current().resetForTest();
        UserRecord r;
        r.id = "100001";
        r.password = "123456";
        r.mobile = "13900139000";
        Session::current().setUserRecord(r);
        Session::current().setLoggedIn(true);
    }

    void cleanup()
    {
        QThreadPool::globalInstance()->waitForDone();
        QCoreApplication::processEvents();
        m_boxes.reset();
        m_server.reset();
    }

    void cleanupTestCase()
    {
        Session::current().resetForTest();
    }

    void orderFields_data()
    {
        QTest::addColumn<Window>("window");
        QTest::addColumn<Field>("field");
        QTest::addColumn<QString>("input");
        QTest::addColumn<QString>("shows");   // the field's text afterwards
        QTest::addColumn<QString>("refusal"); // empty: the order goes out

        const QString wine = u("🍷");
        const QString huge = QStringLiteral("99999999999999999999");
        const QString longDigits(40, QLatin1Char('1'));
        const QString none;
        const QString price = QStringLiteral("10.00");
        const QString quantity = QStringLiteral("5");
        const QString code = QStringLiteral("9160001");
        const QString textOutside = u(trade::kTextOutsideCodePage);
        const QString quantityWrong = u(trade::kQuantityWrong);
        const char* names[] = {"panel buy", "panel sell", "quick buy", "quick sell"};
        auto row = [&](Window w, Field f, const QString& input, const QString& shows, const QString& refusal) {
            const char* fields[] = {"code", "price", "quantity"};
            QTest::addRow("%s %s '%s'", names[int(w)], fields[int(f)], qPrintable(input.left(24)))
                << w << f << input << shows << refusal;
        };

        for (Window w : {Window::PanelBuy, Window::PanelSell, Window::QuickBuy, Window::QuickSell}) {
            const bool buy = w == Window::PanelBuy || w == Window::QuickBuy;
            const bool panel = w == Window::PanelBuy || w == Window::PanelSell;
            // The price field of every window takes a paste only when the keys could have typed it.
            for (const char* refused : {"🍷", "1e3", "+12", " 12", "12.345", "12,50", "１２"})
                row(w, Field::Price, u(refused), price, none);
            row(w, Field::Price, QStringLiteral("0012.50"), QStringLiteral("0012.50"), none);
            // A sign or nothing is no price, for a sale as for a buy.
            row(w, Field::Price, QStringLiteral("-12"), QStringLiteral("-12"), u(trade::kPriceNotPositive));
            row(w, Field::Price, QString(), QString(), u(trade::kPriceNotPositive));
            row(w, Field::Price, longDigits, longDigits, buy ? u(trade::kInsufficientCash) : none);

            // Quantities: digits only in the panel; the pop-ups' plain fields are checked instead.
            for (const char* bad : {"-5", "+5", " 5", "5abc", "1e3"})
                row(w, Field::Quantity, u(bad), panel ? quantity : u(bad), panel ? none : quantityWrong);
            row(w, Field::Quantity, wine, panel ? quantity : wine, panel ? none : textOutside);
            row(w, Field::Quantity, huge, huge, quantityWrong);
            row(w, Field::Quantity, QStringLiteral("2147483648"), QStringLiteral("2147483648"), quantityWrong);
            row(w, Field::Quantity, QStringLiteral("0005"), QStringLiteral("0005"), none);
            // No quantity is no order.
            row(w, Field::Quantity, QString(), QString(), quantityWrong);
            row(w, Field::Quantity, QStringLiteral("0"), QStringLiteral("0"), quantityWrong);

            // Codes.
            row(w, Field::Code, wine, panel ? code : wine, panel ? none : textOutside);
            row(w, Field::Code, QStringLiteral("09160001"), QStringLiteral("09160001"), none);
        }
        // A code too long for an integer: the buy window sends it as typed; the quick buy, which
        // sends the code as an integer, refuses it; a sale finds no position in it.
        const QString sellRefused = u(trade::kSellExceedsSellable);
        row(Window::PanelBuy, Field::Code, huge, huge, none);
        row(Window::QuickBuy, Field::Code, huge, huge, u(trade::kCodeWrong));
        row(Window::QuickBuy, Field::Code, QStringLiteral("9160001abc"), QStringLiteral("9160001abc"),
            u(trade::kCodeWrong));
        row(Window::PanelSell, Field::Code, huge, huge, sellRefused);
        row(Window::QuickSell, Field::Code, huge, huge, sellRefused);
    }

    void orderFields()
    {
        QFETCH(Window, window);
        QFETCH(Field, field);
        QFETCH(QString, input);
        QFETCH(QString, shows);
        QFETCH(QString, refusal);

        std::unique_ptr<trade::OrderWindow> panel;
        QPointer<trade::QuickOrderDlg> popup;
        QLineEdit* fields[3] = {};
        QWidget* orderButton = nullptr;
        switch (window) {
        case Window::PanelBuy: panel = std::make_unique<low_deal_buy_dlg>(nullptr); break;
        case Window::PanelSell: panel = std::make_unique<low_deal_sell_dlg>(nullptr); break;
        case Window::QuickBuy: popup = new Buying_dlg(nullptr); break;
        case Window::QuickSell: popup = new Selling_dlg(nullptr); break;
        }
        if (panel) {
            panel->resize(1660, 312);
            panel->show();
            fields[0] = panel->codeField();
            fields[1] = panel->priceField();
            fields[2] = panel->quantityField();
            orderButton = panel->findChild<QWidget*>(QString::number(trade::OrderWindow::kOrderButton));
        } else {
            popup->show();
            fields[0] = popup->codeField();
            fields[1] = popup->priceField();
            fields[2] = popup->quantityField();
            const int id = window == Window::QuickBuy ? int(Buying_dlg::kOrderButton) : int(Selling_dlg::kOrderButton);
            orderButton = popup->findChild<QWidget*>(QString::number(id));
        }
        QVERIFY(orderButton);
        // A pop-up that stays open (a refusal) must not go on looking things up in later rows.
        struct Closer
        {
            QPointer<trade::QuickOrderDlg> popup;
            ~Closer() { delete popup.data(); }
        } closePopup{popup};
        fields[0]->setText(QStringLiteral("9160001"));
        fields[1]->setText(QStringLiteral("10.00"));
        fields[2]->setText(QStringLiteral("5"));

        QLineEdit* target = fields[int(field)];
        paste(target, input);
        QCOMPARE(target->text(), shows);

        const bool buy = window == Window::PanelBuy || window == Window::QuickBuy;
        const std::string orderPath = buy ? "/api/v1/item/buy" : "/api/v1/item/sell";
        const QString code = fields[0]->text();
        const QString price = fields[1]->text();
        const QString quantity = fields[2]->text();
        QTest::mouseClick(orderButton, Qt::LeftButton);

        const std::vector<RecordedRequest> orders = requestsTo(*m_server, orderPath);
        if (!refusal.isEmpty()) {
            QCOMPARE(m_boxes->texts(), QStringList{refusal});
            QCOMPARE(orders.size(), size_t(0));
            return;
        }
        QCOMPARE(orders.size(), size_t(1));
        const client::Endpoint endpoint = window == Window::QuickBuy ? client::Endpoint::QuickBuy
                                          : buy                      ? client::Endpoint::Buy
                                                                     : client::Endpoint::Sell;
        const std::map<std::string, std::string> sent = verified(endpoint, orders[0]);
        QVERIFY(!sent.empty());
        // The order is for the figures on the screen: the code and price as shown, the quantity
        // (and the quick buy's code) as the integer the shown digits make.
        const std::string shownQuantity = std::to_string(quantity.isEmpty() ? 0 : quantity.toLongLong());
        const std::string shownCode =
            window == Window::QuickBuy ? std::to_string(code.toLongLong()) : code.toStdString();
        QCOMPARE(sent.at("item_id"), shownCode);
        QCOMPARE(sent.at(buy ? "buy_price" : "sell_price"), price.toStdString());
        QCOMPARE(sent.at(buy ? "buy_amount" : "sell_amount"), shownQuantity);
        QCOMPARE(sent.at("id"), std::string("100001"));
    }

    // The withdrawal amount meets the price field's rule; what it holds goes out as typed.
    void withdrawalAmount_data()
    {
        QTest::addColumn<QString>("input");
        QTest::addColumn<QString>("shows");
        for (const char* refused : {"🍷", "1e3", "+5", " 5", "12.345", "5元"})
            QTest::addRow("%s", refused) << u(refused) << QStringLiteral("100.00");
        for (const char* kept : {"-5", "0100.5", "99999999999999999999", "1.."})
            QTest::addRow("%s", kept) << u(kept) << u(kept);
    }

    void withdrawalAmount()
    {
        QFETCH(QString, input);
        QFETCH(QString, shows);
        low_Gold_Application_Dlg w(nullptr);
        w.show();
        QLineEdit* amount = w.findChild<QLineEdit*>(QString::number(low_Gold_Application_Dlg::kAmountEdit));
        QVERIFY(amount);
        amount->setText(QStringLiteral("100.00"));
        paste(amount, input);
        QCOMPARE(amount->text(), shows);
        QTest::mouseClick(w.findChild<QWidget*>(QString::number(low_Gold_Application_Dlg::kSubmitButton)),
                          Qt::LeftButton);
        const std::vector<RecordedRequest> sent = requestsTo(*m_server, "/api/v2/account/transfer");
        QCOMPARE(sent.size(), size_t(1));
        QCOMPARE(verified(client::Endpoint::AccountTransfer, sent[0])["cash"], shows.toStdString());
    }

    // Free text: what the code page cannot carry is refused; what it can arrives as typed, in
    // the request's own encoding, under a signature over exactly those bytes.
    void freeTextFields()
    {
        const QString wine = u("🍷");

        low_change_passd_dlg password(nullptr);
        password.oldPasswordEdit()->setText(QStringLiteral("123456"));
        for (QLineEdit* e : {password.newPasswordEdit(), password.confirmationEdit()})
            paste(e, u("新") + wine);
        password.save();
        QCOMPARE(m_boxes->texts(), QStringList{u(trade::kTextOutsideCodePage)});
        QCOMPARE(requestsTo(*m_server, "/api/v1/user/update_passwd").size(), size_t(0));
        m_boxes->clear();
        for (QLineEdit* e : {password.newPasswordEdit(), password.confirmationEdit()})
            paste(e, u("新密码"));
        password.save();
        const std::vector<RecordedRequest> passwords = requestsTo(*m_server, "/api/v1/user/update_passwd");
        QCOMPARE(passwords.size(), size_t(1));
        QCOMPARE(verified(client::Endpoint::UpdatePasswd, passwords[0])["new_passwd"], client::hashPassword("新密码"));

        m_boxes->clear();
        low_change_message_dlg details(nullptr);
        using F = low_change_message_dlg::Field;
        const std::pair<F, const char*> typed[] = {
            {F::Name, "王小明"},        {F::Email, "wang@example.com"}, {F::PersonalId, "31010119900101123X"},
            {F::Address, "南京西路1号"}, {F::Phone, "021-62881234"},     {F::Mobile, "13900139000"},
            {F::ContractAddress, "漕溪北路88号"}, {F::Account, "6217000010009876543"}};
        for (const auto& [f, text] : typed)
            paste(details.edit(f), u(text));
        paste(details.edit(F::ContractAddress), u("漕溪北路") + wine);
        details.save();
        QCOMPARE(m_boxes->texts(), QStringList{u(trade::kTextOutsideCodePage)});
        QCOMPARE(requestsTo(*m_server, "/api/v1/user/update_info").size(), size_t(0));
        QCOMPARE(details.edit(F::ContractAddress)->text(), u("漕溪北路") + wine); // kept as typed

        m_boxes->clear();
        low_Delivery_Application_Dlg delivery(nullptr);
        paste(delivery.codeField(), QStringLiteral("9160001"));
        paste(delivery.quantityField(), QStringLiteral("99999999999999999999"));
        delivery.addressField()->setPlainText(u("南京东路1号"));
        paste(delivery.consigneeField(), u("王小明"));
        delivery.apply();
        QCOMPARE(m_boxes->texts(), QStringList{u(trade::kDeliveryQuantityNotMultiple)});
        m_boxes->clear();
        paste(delivery.quantityField(), u("-40"));
        QCOMPARE(delivery.quantityField()->text(), QStringLiteral("99999999999999999999")); // digits only
        paste(delivery.quantityField(), QStringLiteral("99999999999999999980"));
        delivery.addressField()->setPlainText(u("南京东路") + wine);
        delivery.apply();
        QCOMPARE(m_boxes->texts(), QStringList{u(trade::kTextOutsideCodePage)});
        QCOMPARE(requestsTo(*m_server, "/api/v1/stock/delivery").size(), size_t(0));
        m_boxes->clear();
        delivery.addressField()->setPlainText(u("南京东路1号"));
        delivery.apply();
        const std::vector<RecordedRequest> deliveries = requestsTo(*m_server, "/api/v1/stock/delivery");
        QCOMPARE(deliveries.size(), size_t(1));
        std::map<std::string, std::string> sent = verified(client::Endpoint::Delivery, deliveries[0]);
        QCOMPARE(sent["amount"], std::string("99999999999999999980"));
        QCOMPARE(sent["consignee"], std::string("王小明"));
        QCOMPARE(sent["address"], std::string("南京东路1号"));
    }
};

QTEST_MAIN(BadInputTest)
#include "BadInputTest.moc"
