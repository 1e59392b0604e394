#include "app/Announcements.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

#include "client/ApiReply.h"
#include "client/CodePage.h"
#include "client/Endpoints.h"
#include "client/Transport.h"
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

std::optional<std::string> InformationPageAddress(std::string_view wireReply)
{
    Json::Value root;
    if (!client::ParseJson(client::WireToUtf8(wireReply), root) || !root.isObject())
        return std::nullopt;
    return client::JsonText(root, "infor");
}

bool RefreshAnnouncementPage(const QString& path)
{
    const client::SignedRequest request = client::BuildSignedRequest(client::Endpoint::Ad, {});
    std::string reply;
    client::HttpPostForm(request.url, request.body, client::PostLock(), reply);
    platform::trace("\n公告\n");
    platform::trace(reply);
    platform::trace("结束公告\n");

    const std::optional<std::string> page = AnnouncementPage(reply);
    if (!page)
        return true;
    QDir().mkpath(QFileInfo(path).absolutePath());
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.write(page->data(), qint64(page->size()));
    return file.commit();
}

} // namespace app
