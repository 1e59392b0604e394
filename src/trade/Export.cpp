#include "trade/Export.h"

#include "client/CodePage.h"
#include "client/WholeFile.h"
#include "controls/ColouredList.h"
#include "platform/Dialogs.h"

namespace trade {
namespace {

constexpr std::size_t kFieldBytes = 12;

bool isLeadByte(unsigned char b) { return b >= 0x81 && b <= 0xFE; }

// The text's first 12 bytes, less a double-byte character the cut would split.
std::string field(const QString& text)
{
    const std::string wire = client::utf8ToWire(text.toStdString());
    std::size_t end = 0;
    while (end < wire.size()) {
        const std::size_t width = isLeadByte(static_cast<unsigned char>(wire[end])) && end + 1 < wire.size() ? 2 : 1;
        if (end + width > kFieldBytes)
            break;
        end += width;
    }
    return std::string(kFieldBytes - end, ' ') + wire.substr(0, end);
}

void appendLine(std::string& out, const QStringList& texts)
{
    for (const QString& t : texts)
        out += field(t);
    out += "\r\n";
}

} // namespace

std::string exportText(const QStringList& headers, const std::vector<QStringList>& rows)
{
    std::string out;
    out.reserve((rows.size() + 1) * (std::size_t(headers.size()) * kFieldBytes + 2));
    appendLine(out, headers);
    for (const QStringList& row : rows)
        appendLine(out, row);
    return out;
}

bool saveExport(const QString& path, const QStringList& headers, const std::vector<QStringList>& rows)
{
    return client::writeWholeFile(path.toStdString(), exportText(headers, rows));
}

void ExportListToText(const controls::ColouredList& list, const QString& defaultName)
{
    QWidget* owner = list.window();
    const QString path = platform::saveFileName(owner, defaultName, QString::fromUtf8(kExportFilter));
    if (path.isEmpty())
        return;

    QStringList headers;
    for (int c = 0; c < list.columnCount(); ++c)
        headers << list.columnCaption(c);
    std::vector<QStringList> rows;
    rows.reserve(std::size_t(list.rowCount()));
    for (int r = 0; r < list.rowCount(); ++r) {
        QStringList cells;
        for (int c = 0; c < list.columnCount(); ++c)
            cells << list.cellText(r, c);
        rows.push_back(std::move(cells));
    }
    if (!saveExport(path, headers, rows))
        platform::messageBox(owner, QString::fromUtf8(kExportOpenFailed));
}

} // namespace trade
