#include "Catalogue.h"

#include <vector>

namespace exchange {

std::span<const ItemInfo> Catalogue()
{
    static const std::vector<ItemInfo> items = {
        {9160001, "Tolmere小酒窖", 3650, 2000000},
        {9160002, "Tolmere珍藏干红", 12880, 800000},
        {9160003, "Arvesse庄园赤霞珠", 8920, 900000},
        {9160004, "Belcaro梅洛2015", 5630, 1200000},
        {9160005, "Cantevel霞多丽", 4275, 1500000},
        {9160006, "Dunrosa黑皮诺", 16750, 600000},
        {9160007, "Estramar西拉", 6390, 1000000},
        {9160008, "Faudenne雷司令", 3980, 1400000},
        {9160009, "Gironval波尔多混酿", 21500, 500000},
        {9160010, "Haverlin桃红", 2860, 1800000},
        {9160011, "Isolde冰酒", 33800, 300000},
        {9160012, "Jorvance起泡酒", 7540, 1100000},
        {9160013, "Kellmora陈酿", 49900, 200000},
        {9160014, "Lunavel贵腐甜白", 27650, 350000},
    };
    return items;
}

const ItemInfo* FindItem(int code)
{
    for (const ItemInfo& item : Catalogue()) {
        if (item.code == code)
            return &item;
    }
    return nullptr;
}

} // namespace exchange
