#include "app/Announcements.h"

#include <QByteArray>
#include <QDir>
#include <QFileInfo>

#include "client/ApiReply.h"
#include "client/Endpoints.h"
#include "client/Transport.h"
#include "platform/SaveFile.h"
#include "platform/Trace.h"

namespace app {

std::optional<std::string> AnnouncementPage(std::string_view wireReply)
{
    const client::ApiReply reply = client::ApiReply::FromWire(wireReply);
    if (!reply.parsed)
        return std::nullopt;
    std::string page;
    if (!reply.success || !reply.infor.isArray())
        return page;
    for (const Json::Value& item : reply.infor)
        page += client::JsonText(item, "title") + client::JsonText(item, "remark");
    return page;
}

bool RefreshAnnouncementPage(const QString& path)
{
    const client::SignedRequest request = client::BuildSignedRequest(client::Endpoint::Ad, {});
    std::string reply;
    client::HttpPostForm(request.url, request.body, client::PostLock(), reply);
    platform::trace("\n公告\n");
    platform::traceWire(reply);
    platform::trace("结束公告\n");

    const std::optional<std::string> page = AnnouncementPage(reply);
    if (!page)
        return true;
    QDir().mkpath(QFileInfo(path).absolutePath());
    return platform::saveWholeFile(path, QByteArray::fromStdString(*page));
}

} // namespace app
