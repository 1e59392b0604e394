#pragma once

#include <QByteArray>
#include <QString>

class QWidget;

namespace platform {

// Replaces the file with `bytes` or leaves it as it was (written beside it, then renamed
// over it): a crash or a full disk never leaves a settings file half written. False when
// it could not be saved.
bool saveWholeFile(const QString& path, const QByteArray& bytes);

// Tells the user that a file the terminal keeps could not be saved, naming it.
void reportSaveFailed(QWidget* parent, const QString& path);
QString saveFailedText(const QString& path);

} // namespace platform
