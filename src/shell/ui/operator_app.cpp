#include "shell/ui/operator_app.h"

#include "data/fb.h"
#include "shell/lifecycle_server_control.h"
#include "shell/service_context.h"
#include "shell/ui/advert_window.h"
#include "shell/ui/clients_log_window.h"
#include "shell/ui/external_url.h"
#include "shell/ui/main_window.h"
#include "shell/ui/message_box_prompt.h"

#include <QApplication>
#include <QDir>
#include <QProcess>

int RunOperatorWindow(int argc, char **argv)
{
    QApplication app(argc, argv);
    QGuiApplication::setApplicationDisplayName(
        QStringLiteral("Web сервіс замовлення таксі \"Tesmora - TAXI\" ver 2.0"));

    int status = 0;
    bool restart = false;
    {
        // The windows bind to the data module, the settings and the logs as they are
        // built, so the context holding them comes first; the windows follow in order.
        MessageBoxPrompt prompt;
        ServiceContext context(QDir::currentPath(), prompt);
        ServerControl control(context, false);
        QObject::connect(&control, &ServerControl::openUrl, &app, &OpenExternalUrl);

        TForm1 form1(context, control);
        prompt.setParentWidget(&form1);
        auto *form2 = new TForm2(context.webLog, context.mobileLog, prompt, &form1);
        auto *form3 = new TForm3(context.accounts, &form1);
        form1.setWindows(form2, form3);
        QObject::connect(&control, &ServerControl::creationPageShown, form3,
                         &TForm3::showCreationPage);
        QObject::connect(&control, &ServerControl::creationProgress, form3,
                         &TForm3::addCreationProgress);

        form1.showMaximized();
        status = app.exec();
        restart = form1.restartRequested();
    }
    fb::ShutdownClient();
    // Only now are both databases closed: the embedded engine lets one process at a
    // time open a database file, so the new copy must not start any earlier.
    if (restart)
        QProcess::startDetached(QCoreApplication::applicationFilePath(),
                                QCoreApplication::arguments().mid(1));
    return status;
}
