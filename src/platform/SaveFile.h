#pragma once

#include <QString>

class QWidget;

namespace platform {

// Tells the user that a file the terminal keeps could not be saved, naming it.
void reportSaveFailed(QWidget* parent, const QString& path);
QString saveFailedText(const QString& path);

} // namespace platform
