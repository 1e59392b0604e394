#pragma once

#include <string>

// Replies shaped like the exchange's, from a seeded random walk so every run draws the same.
std::string CandleReply(int count, unsigned seed = 7, long long firstTime = 1700000000, int periodSeconds = 86400);
std::string TimelineReply(int count, unsigned seed = 11, bool withZeroVolumes = true);
