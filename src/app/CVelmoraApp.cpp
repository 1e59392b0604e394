#include "app/CVelmoraApp.h"

#include <QEventLoop>
#include <QPointer>

#include "app/CVelmoraDlg.h"
#include "platform/SingleInstance.h"

int CVelmoraApp::run()
{
    platform::SingleInstance instance(QString::fromUtf8(kInstanceName));
    if (!instance.acquired())
        return 0;

    // Not QDialog::exec(): the login window is hidden while the market window is open,
    // and only its destruction ends the run.
    QPointer<CVelmoraDlg> dialog = new CVelmoraDlg;
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    QEventLoop loop;
    QObject::connect(dialog, &QObject::destroyed, &loop, &QEventLoop::quit);
    dialog->show();
    loop.exec();
    delete dialog; // only if the loop ended some other way
    return 0;
}
