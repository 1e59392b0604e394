#include "market/ColumnFile.h"

#include <json/value.h>
#include <json/writer.h>

#include "client/ApiReply.h"
#include "client/CodePage.h"
#include "client/SettingsFolder.h"
#include "client/WholeFile.h"

namespace market {

const ColumnCategory* ColumnDocument::find(std::string_view categoryName) const
{
    for (const ColumnCategory& c : categories)
        if (c.name == categoryName)
            return &c;
    return nullptr;
}

std::optional<ColumnDocument> parseColumnDocument(std::string_view utf8)
{
    Json::Value root;
    if (!client::parseJson(utf8, root))
        return std::nullopt;
    ColumnDocument document;
    const Json::Value infor = root.isObject() ? root["infor"] : Json::Value();
    if (!infor.isArray())
        return document;
    for (const Json::Value& category : infor) {
        ColumnCategory c;
        c.name = client::jsonText(category, "name");
        const Json::Value columns = category.isObject() ? category["infor1"] : Json::Value();
        if (columns.isArray())
            for (const Json::Value& column : columns)
                c.columns.push_back({client::jsonText(column, "name"), client::jsonText(column, "title")});
        document.categories.push_back(std::move(c));
    }
    return document;
}

std::string styledColumnText(const ColumnDocument& document)
{
    Json::Value root(Json::objectValue);
    Json::Value& infor = root["infor"];
    infor = Json::Value(Json::arrayValue);
    for (const ColumnCategory& c : document.categories) {
        Json::Value category(Json::objectValue);
        category["name"] = c.name;
        Json::Value columns(Json::arrayValue);
        for (const ColumnEntry& e : c.columns) {
            Json::Value column(Json::objectValue);
            column["name"] = e.name;
            column["title"] = e.title;
            columns.append(column);
        }
        category["infor1"] = columns;
        infor.append(category);
    }
    Json::StyledWriter writer;
    return writer.write(root);
}

std::optional<LoadedColumnFile> loadColumnFile(const std::filesystem::path& path)
{
    const client::SettingsFolder folder(path.parent_path());
    return folder
        .read(path.filename().string(),
              [](std::string_view bytes) -> std::optional<LoadedColumnFile> {
                  std::optional<ColumnDocument> document = parseColumnDocument(client::localFileToUtf8(bytes));
                  if (!document)
                      return std::nullopt;
                  LoadedColumnFile loaded{std::move(*document), {}};
                  loaded.styledText = styledColumnText(loaded.document);
                  return loaded;
              })
        .value;
}

bool writeColumnFile(const std::filesystem::path& path, const std::string& text)
{
    return client::writeWholeFile(path, text);
}

} // namespace market
