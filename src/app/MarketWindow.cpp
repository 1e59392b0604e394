#include "app/MarketWindow.h"

#include <QWidget>

#include "app/AppTexts.h"
#include "app/CVelmoraDlg.h"

namespace app {
namespace {

// Per process: the market window's maker, installed once by main.
MarketWindowFactory& factory()
{
    static MarketWindowFactory f;
    return f;
}

} // namespace

void setMarketWindowFactory(MarketWindowFactory f)
{
    factory() = std::move(f);
}

QWidget* createMarketWindow(CVelmoraDlg* owner)
{
    if (factory())
        return factory()(owner);
    // Without the market window's module (the login's own tests) an empty window stands in.
    auto* window = new QWidget(owner, Qt::Window | Qt::FramelessWindowHint);
    window->setObjectName(QStringLiteral("Transaction_Dlg"));
    window->setWindowTitle(QString::fromUtf8(kMarketCaption));
    return window;
}

} // namespace app
