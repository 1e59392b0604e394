#pragma once

#include <string>

class QImage;

// Replies shaped like the exchange's, from a seeded random walk so every run draws the same.
std::string CandleReply(int count, unsigned seed = 7, long long firstTime = 1700000000, int periodSeconds = 86400);
std::string TimelineReply(int count, unsigned seed = 11, bool withZeroVolumes = true);

// Saves a rendered chart as `name` in the folder named by VELMORA_CHART_PNG_DIR, when set: the
// charts as a user would see them.
void SaveIfAsked(const QImage& image, const char* name);
