#include "app/Announcements.h"

#include <QDir>
#include <QFileInfo>

#include "client/ApiReply.h"
#include "client/Call.h"
#include "client/CodePage.h"
#include "client/WholeFile.h"

namespace app {

std::optional<std::string> AnnouncementPage(std::string_view wireReply)
{
    return AnnouncementPage(client::ApiReply::fromWire(wireReply));
}

std::optional<std::string> AnnouncementPage(const client::ApiReply& reply)
{
    if (!reply.parsed)
        return std::nullopt;
    std::string page;
    if (!reply.success || !reply.infor.isArray())
        return page;
    for (const Json::Value& item : reply.infor)
        page += client::jsonText(item, "title") + client::jsonText(item, "remark");
    return page;
}

std::optional<std::string> InformationPageAddress(std::string_view wireReply)
{
    Json::Value root;
    if (!client::parseJson(client::wireToUtf8(wireReply), root) || !root.isObject())
        return std::nullopt;
    return client::jsonText(root, "infor");
}

bool RefreshAnnouncementPage(const QString& path)
{
    const std::optional<std::string> page =
        AnnouncementPage(client::Call(client::Endpoint::Ad, {}, {"\n公告\n", "结束公告\n"}));
    if (!page)
        return true;
    QDir().mkpath(QFileInfo(path).absolutePath());
    return client::writeWholeFile(path.toStdString(), *page);
}

} // namespace app
