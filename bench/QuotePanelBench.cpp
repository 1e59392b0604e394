// Quote panel: parsing and drawing one quote reply, and the time from a reply handed to
// the panel on the poller's thread until the panel has repainted on the GUI thread.
#include <chrono>
#include <memory>
#include <string>
#include <thread>

#include <QApplication>
#include <QElapsedTimer>
#include <benchmark/benchmark.h>

#include "client/CodePage.h"
#include "market/core/RealtimeQuote.h"
#include "market/Right_Msg_Dlg.h"
#include "platform/core/CrossThread.h"
#include "QtBenchmarkMain.h"

namespace {

std::string QuoteReply()
{
    return client::utf8ToWire(
        R"({"success":"true","infor":[{"stockName":"Tolmere小酒窖","entrustPCT":12.5,"entrustDIF":40,)"
        R"("sellPrice5":36.71,"sellPrice4":36.64,"sellPrice3":36.57,"sellPrice2":36.50,"sellPrice1":36.43,)"
        R"("buyPrice1":36.22,"buyPrice2":36.15,"buyPrice3":36.08,"buyPrice4":36.01,"buyPrice5":35.94,)"
        R"("sellVol5":264,"sellVol4":83,"sellVol3":119,"sellVol2":262,"sellVol1":360,)"
        R"("buyVol1":370,"buyVol2":352,"buyVol3":144,"buyVol4":232,"buyVol5":90,"latest":36.22,"change":-0.28,)"
        R"("max":36.55,"min":36.22,"opening":36.50,"vol":1621,"total":58982.98,"outVol":818,"inVol":803,)"
        R"("limitUp":40.15,"limitDown":32.85,"increase":-0.77,"newVol":24,"turnover":0.08,"inventory":2000000}]})");
}

struct Panel
{
    Panel()
    {
        window.resize(1920, 1040);
        panel = new Right_Msg_Dlg(&window, 1920, 1040);
        window.show();
        panel->show();
        QApplication::processEvents();
    }
    QWidget window;
    Right_Msg_Dlg* panel = nullptr;
};

void BM_ParseRealtime(benchmark::State& state)
{
    const std::string utf8 = client::wireToUtf8(QuoteReply());
    for (auto _ : state)
        benchmark::DoNotOptimize(market::parseRealtime(utf8));
}
BENCHMARK(BM_ParseRealtime);

void BM_LoadRealtimeParseAndDraw(benchmark::State& state)
{
    Panel p;
    const std::string reply = QuoteReply();
    for (auto _ : state)
        p.panel->LoadRealtime(reply);
    QApplication::processEvents();
}
BENCHMARK(BM_LoadRealtimeParseAndDraw)->Unit(benchmark::kMicrosecond);

// From the reply reaching the poller's reader on another thread to the panel's paint.
void BM_ReplyToRepaint(benchmark::State& state)
{
    Panel p;
    PaintWatch watch;
    p.panel->installEventFilter(&watch);
    const std::string reply = QuoteReply();
    for (auto _ : state) {
        watch.painted = false;
        std::thread poller([&] {
            platform::postTo(p.panel, [panel = p.panel, q = Right_Msg_Dlg::readQuote(reply, {})] { panel->showQuote(q); });
        });
        poller.join();
        while (!watch.painted)
            QApplication::processEvents(QEventLoop::AllEvents, 5);
    }
}
BENCHMARK(BM_ReplyToRepaint)->Unit(benchmark::kMicrosecond)->UseRealTime();

} // namespace

VELMORA_QT_BENCHMARK_MAIN()
