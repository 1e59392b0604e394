#pragma once

#include <string>

namespace market {

// The catalogue and current-column texts the process keeps (styled JSON). Read and
// written from more than one thread, so each is guarded.
std::string CatalogueText();
void SetCatalogueText(std::string text);
std::string CurrentColumnText();
void SetCurrentColumnText(std::string text);

} // namespace market
