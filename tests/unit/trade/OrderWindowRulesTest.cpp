#include <gtest/gtest.h>

#include "client/ApiSign.h"
#include "client/Endpoints.h"
#include "platform/core/Colours.h"
#include "trade/core/OrderChecks.h"
#include "trade/QuoteBox.h"

using namespace trade;

TEST(SellRequest, BodyAndSignatureInputByteForByte)
{
    const OrderForm typed{"09160001", "36.5", "040"};
    const client::SignedRequest r =
        client::buildSignedRequest(client::Endpoint::Sell, sellParams(typed, "100001"), "KEY", 1700000000);
    // The code and price as typed, the quantity as the integer it reads as.
    EXPECT_EQ(r.signatureInput, "id=100001item_id=09160001sell_amount=40sell_price=36.5v=1700000000KEY");
    EXPECT_EQ(r.sign, client::ApiSign(r.signatureInput));
    EXPECT_EQ(r.body, "{\n"
                      "   \"id\" : \"100001\",\n"
                      "   \"item_id\" : \"09160001\",\n"
                      "   \"sell_amount\" : 40,\n"
                      "   \"sell_price\" : \"36.5\",\n"
                      "   \"sign\" : \"" + r.sign + "\",\n"
                      "   \"v\" : \"1700000000\"\n"
                      "}\n");
    EXPECT_EQ(client::endpointInfo(client::Endpoint::Sell).path, "/api/v1/item/sell");
}

TEST(QuoteBox, PricesAgainstTheReferenceAndTheChangeAgainstZero)
{
    EXPECT_EQ(quotePriceColour(36.2, 36.0), platform::RiseColour);
    EXPECT_EQ(quotePriceColour(35.9, 36.0), platform::FallColour);
    EXPECT_EQ(quotePriceColour(36.0, 36.0), platform::TextOnLight);
    // A level without a price shows "--" and takes no side, whatever the reference.
    EXPECT_EQ(quotePriceColour(0.0, 36.0), platform::TextOnLight);
    EXPECT_EQ(quotePriceColour(0.000001, 36.0), platform::TextOnLight);
    EXPECT_EQ(quotePriceColour(12.0, 0.0), platform::RiseColour);

    EXPECT_EQ(quoteChangeColour(0.2), platform::RiseColour);
    EXPECT_EQ(quoteChangeColour(-0.2), platform::VolumeColour);
    EXPECT_EQ(quoteChangeColour(0.0), platform::TextOnLight);
}
