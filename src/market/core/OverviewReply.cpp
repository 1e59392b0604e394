#include "market/core/OverviewReply.h"

#include "client/ApiReply.h"
#include "client/CodePage.h"

namespace market {

OverviewReply parseOverviewReply(std::string_view wire, const std::vector<std::string>& basicKeys,
                                 const std::vector<std::string>& extendedKeys)
{
    OverviewReply out;
    Json::Value root;
    if (!client::parseJson(client::wireToUtf8(wire), root))
        return out;
    out.parsed = true;
    out.success = client::jsonText(root, "success") == "true";
    if (!out.success)
        return out;
    const Json::Value infor = root.isObject() ? root["infor"] : Json::Value();
    if (!infor.isArray())
        return out;
    out.rowCount = static_cast<int>(infor.size());
    for (int d = 0; d < out.rowCount; ++d) {
        const Json::Value& row = infor[d];
        out.rowCodes.push_back(client::jsonInt(row, "main_3"));
        out.figures.push_back(figuresOf(row));
        if (d < ItemTable::kCapacity) {
            out.items.push_back({client::jsonInt(row, "main_3"), client::jsonText(row, "main_4"),
                                 client::jsonReal(row, "main_5")});
            out.itemKeys.push_back(pinyinKeys(out.items.back().name));
        }
        out.extendedRows.push_back(formatOverviewRow(row, extendedKeys, d, OverviewList::Extended));
        out.basicRows.push_back(formatOverviewRow(row, basicKeys, d, OverviewList::Basic));
    }
    return out;
}

} // namespace market
