#pragma once

#include <string>

namespace market {

// The catalogue and current-column texts the process keeps (styled JSON). Read and
// written from more than one thread, so each is guarded.
std::string catalogueText();
void setCatalogueText(std::string text);
std::string currentColumnText();
void setCurrentColumnText(std::string text);

} // namespace market
