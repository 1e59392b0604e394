#include "market/core/ColumnTexts.h"

#include <mutex>

namespace market {

namespace {
std::mutex g_mutex;
std::string g_catalogue;
std::string g_current;
} // namespace

std::string catalogueText()
{
    std::lock_guard lock(g_mutex);
    return g_catalogue;
}

void setCatalogueText(std::string text)
{
    std::lock_guard lock(g_mutex);
    g_catalogue = std::move(text);
}

std::string currentColumnText()
{
    std::lock_guard lock(g_mutex);
    return g_current;
}

void setCurrentColumnText(std::string text)
{
    std::lock_guard lock(g_mutex);
    g_current = std::move(text);
}

} // namespace market
