#include "market/core/ColumnTexts.h"

#include <mutex>

namespace market {

namespace {
std::mutex g_mutex;
std::string g_catalogue;
std::string g_current;
} // namespace

std::string CatalogueText()
{
    std::lock_guard lock(g_mutex);
    return g_catalogue;
}

void SetCatalogueText(std::string text)
{
    std::lock_guard lock(g_mutex);
    g_catalogue = std::move(text);
}

std::string CurrentColumnText()
{
    std::lock_guard lock(g_mutex);
    return g_current;
}

void SetCurrentColumnText(std::string text)
{
    std::lock_guard lock(g_mutex);
    g_current = std::move(text);
}

} // namespace market
