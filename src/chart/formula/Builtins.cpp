// The built-in indicators written in the formula language. Their numbers are the built-ins'
// (chart/Indicators.cpp): tests/unit/chart/FormulaBuiltinsTest.cpp holds them to 1e-9.
#include <algorithm>

#include "chart/formula/Definition.h"

namespace chart::formula {
namespace {

Parameter period(const char* name, double value, double minimum = 1, double maximum = 999)
{
    return {name, value, minimum, maximum};
}

std::vector<Definition> make()
{
    std::vector<Definition> all;
    all.push_back({"MA", "均线：收盘价的简单移动平均，周期满了才有值", Placement::Overlay,
                   {period("M1", 5), period("M2", 10), period("M3", 20), period("M4", 60)},
                   "MA1:MA(CLOSE,M1);\n"
                   "MA2:MA(CLOSE,M2);\n"
                   "MA3:MA(CLOSE,M3);\n"
                   "MA4:MA(CLOSE,M4);\n"});
    all.push_back({"VOL-MA", "成交量和它的均线", Placement::Oscillator, {period("M1", 5), period("M2", 10)},
                   "VOLUME:VOL,VOLSTICK;\n"
                   "MAVOL1:MA(VOLUME,M1);\n"
                   "MAVOL2:MA(VOLUME,M2);\n"});
    all.push_back({"MACD", "指数平滑异同平均线：从第一根K线起算", Placement::Oscillator,
                   {period("SHORT", 12, 2, 200), period("LONG", 26, 2, 200), period("MID", 9, 2, 200)},
                   "DIF:EMA(CLOSE,SHORT)-EMA(CLOSE,LONG);\n"
                   "DEA:EMA(DIF,MID);\n"
                   "MACD:(DIF-DEA)*2,COLORSTICK;\n"});
    all.push_back({"KDJ", "随机指标：K、D 从 50 起算，最高最低价相同时 RSV 取 50", Placement::Oscillator,
                   {period("N", 9, 1, 100), period("M1", 3, 2, 100), period("M2", 3, 2, 100)},
                   "RSV:=IF(HHV(HIGH,N)>LLV(LOW,N),(CLOSE-LLV(LOW,N))/(HHV(HIGH,N)-LLV(LOW,N))*100,50);\n"
                   "{第一根K线上，K、D 由 50 和当根的值平滑而来}\n"
                   "K:SMA(IF(BARSCOUNT(CLOSE)=1,(RSV+(M1-1)*50)/M1,RSV),M1,1);\n"
                   "D:SMA(IF(BARSCOUNT(CLOSE)=1,(K+(M2-1)*50)/M2,K),M2,1);\n"
                   "J:3*K-2*D;\n"});
    all.push_back({"RSI", "相对强弱指标：从第二根K线起算，收盘价没动过时无值", Placement::Oscillator,
                   {period("N1", 6, 2, 120), period("N2", 12, 2, 250), period("N3", 24, 2, 500)},
                   "LC:=REF(CLOSE,1);\n"
                   "RSI1:SMA(MAX(CLOSE-LC,0),N1,1)/SMA(ABS(CLOSE-LC),N1,1)*100;\n"
                   "RSI2:SMA(MAX(CLOSE-LC,0),N2,1)/SMA(ABS(CLOSE-LC),N2,1)*100;\n"
                   "RSI3:SMA(MAX(CLOSE-LC,0),N3,1)/SMA(ABS(CLOSE-LC),N3,1)*100;\n"});
    all.push_back({"BOLL", "布林线：中轨为收盘价的均线，上下轨相距 P 个总体标准差", Placement::Overlay,
                   {period("N", 20, 2, 120), period("P", 2, 1, 10)},
                   "MID:MA(CLOSE,N);\n"
                   "UPPER:MID+P*STDP(CLOSE,N);\n"
                   "LOWER:MID-P*STDP(CLOSE,N);\n"});
    return all;
}

} // namespace

const std::vector<Definition>& builtinFormulas()
{
    static const std::vector<Definition> all = make();
    return all;
}

bool isBuiltinName(std::string_view name)
{
    const std::string key = nameKey(name);
    const auto& all = builtinFormulas();
    return std::any_of(all.begin(), all.end(), [&](const Definition& d) { return nameKey(d.name) == key; });
}

} // namespace chart::formula
