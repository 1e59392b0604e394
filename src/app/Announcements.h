#pragma once

#include <optional>
#include <string>
#include <string_view>

#include <QString>

#include "client/ApiReply.h"

namespace app {

// The announcement page a "/api/v1/ad" reply gives: nullopt when the reply does not
// parse (the old page stays), empty when refused, else each title then its remark.
std::optional<std::string> AnnouncementPage(std::string_view wireReply);
std::optional<std::string> AnnouncementPage(const client::ApiReply& reply);

// The address an "/api/stockinfo/<code>" reply names for the item information page:
// nullopt when the reply is not a JSON object.
std::optional<std::string> InformationPageAddress(std::string_view wireReply);

// Fetches the announcements and rewrites the page file. False when the file could not
// be written; the old page (if any) is left as it was.
bool RefreshAnnouncementPage(const QString& path);

} // namespace app
