#pragma once

// Deployment texts of the information windows.
namespace app {
inline constexpr const char* kVersionLabel = "vexlo_1.1.0";
inline constexpr const char* kServerAddressText = "velmora-exchange";
inline constexpr const char* kMakerLine = "Velmora 葡萄酒现货交易终端 · Velmora 开发组";
inline constexpr const char* kMarketCaption = "   Velmora";
inline constexpr const char* kUpdateRequired = "你的软件需要更新，请到官网下载最新版,谢谢合作！";
} // namespace app
