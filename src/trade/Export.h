#pragma once

#include <string>
#include <vector>

#include <QString>
#include <QStringList>

namespace controls {
class ColouredList;
}

namespace trade {

inline constexpr const char* kExportFilter = "*.txt||*.txt";
inline constexpr const char* kExportOpenFailed = "打开文件失败";

// The export's bytes: a header line, then one line per row; every text in the wire code
// page, right-aligned in a field of 12 bytes and cut to its first 12 bytes (never inside
// a character); lines end in CR LF.
std::string exportText(const QStringList& headers, const std::vector<QStringList>& rows);

// Writes the export to `path` whole or not at all (aside, then renamed over it): a kill
// or a full disk leaves the old file. False when it could not be written.
bool saveExport(const QString& path, const QStringList& headers, const std::vector<QStringList>& rows);

// Saves the list as text: asks for a path (cancel ends quietly), writes the file whole or
// not at all, and says "打开文件失败" when it cannot be written.
void ExportListToText(const controls::ColouredList& list, const QString& defaultName);

} // namespace trade
