#include "ChartData.h"

#include <algorithm>
#include <cstdio>
#include <random>

#include <QImage>
#include <QString>

std::string CandleReply(int count, unsigned seed, long long firstTime, int periodSeconds)
{
    std::mt19937 rng(seed);
    std::normal_distribution<double> step(0.0, 0.9);
    std::uniform_int_distribution<int> vol(200, 5000);
    double price = 98.0;
    std::string s = "{\"success\":\"true\",\"msg\":\"\",\"infor\":[";
    for (int i = 0; i < count; ++i) {
        const double open = price;
        const double close = std::max(1.0, open + step(rng));
        const double high = std::max(open, close) + std::abs(step(rng)) * 0.6;
        const double low = std::max(0.5, std::min(open, close) - std::abs(step(rng)) * 0.6);
        price = close;
        char rec[256];
        std::snprintf(rec, sizeof rec,
                      "%s{\"startPrice\":%.2f,\"endPrice\":%.2f,\"maxPrice\":%.2f,\"minPrice\":%.2f,\"time\":%lld,"
                      "\"vol\":%d}",
                      i ? "," : "", open, close, high, low, firstTime + (long long)i * periodSeconds, vol(rng));
        s += rec;
    }
    return s + "]}";
}

std::string TimelineReply(int count, unsigned seed, bool withZeroVolumes)
{
    std::mt19937 rng(seed);
    std::normal_distribution<double> step(0.0, 0.08);
    std::uniform_int_distribution<int> vol(0, 400);
    double price = 101.3;
    double turnover = 0;
    long long volume = 0;
    std::string s = "{\"success\":\"true\",\"msg\":\"\",\"infor\":[";
    for (int i = 0; i < count; ++i) {
        price = std::max(1.0, price + step(rng));
        int v = vol(rng);
        if (withZeroVolumes && i % 17 == 5)
            v = 0;
        turnover += price * v;
        volume += v;
        const double average = volume ? turnover / double(volume) : price;
        char rec[160];
        std::snprintf(rec, sizeof rec, "%s{\"averagePrice\":%.3f,\"price\":%.2f,\"vol\":%d}", i ? "," : "", average,
                      price, v);
        s += rec;
    }
    return s + "]}";
}

void SaveIfAsked(const QImage& image, const char* name)
{
    const QByteArray dir = qgetenv("VELMORA_CHART_PNG_DIR");
    if (!dir.isEmpty())
        image.save(QString::fromUtf8(dir) + QLatin1Char('/') + QLatin1String(name));
}
