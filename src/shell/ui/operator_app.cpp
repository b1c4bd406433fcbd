#include "shell/ui/operator_app.h"

#include "data/fb.h"
#include "shell/lifecycle_server_control.h"
#include "shell/process_signals.h"
#include "shell/service_context.h"
#include "shell/ui/advert_window.h"
#include "shell/ui/clients_log_window.h"
#include "shell/ui/external_url.h"
#include "shell/ui/main_window.h"
#include "shell/ui/message_box_prompt.h"
#include "shell/ui/ukrainian_ui.h"

#include <QApplication>
#include <QDir>
#include <QFile>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

// The program again in this process: same process id, terminal and arguments, so a
// supervisor or the shell that started it keeps it. Returns only when that failed, after
// telling the operator, who started it from a desktop and may never see stderr.
int startAgain(const QString &program, const std::vector<std::string> &arguments)
{
    std::vector<char *> argv;
    for (const std::string &argument : arguments)
        argv.push_back(const_cast<char *>(argument.c_str()));
    argv.push_back(nullptr);
    const QByteArray path = QFile::encodeName(program);
    ::execv(path.constData(), argv.data());
    const QString failure = QStringLiteral("Неможливо перезапустити програму [%1]: %2. Запустіть її знову самостійно.")
                                .arg(program, QString::fromLocal8Bit(std::strerror(errno)));
    std::fprintf(stderr, "%s\n", failure.toUtf8().constData());
    MessageBoxPrompt().message(failure);
    return 1;
}

}  // namespace

int RunOperatorWindow(int argc, char **argv)
{
    // Kept before QApplication takes its own options out of them.
    const std::vector<std::string> arguments(argv, argv + argc);
    QApplication app(argc, argv);
    // Before any window: the calendars take the locale they are made with.
    const UkrainianUi ukrainian;
    if (!ukrainian.problem().isEmpty())
        std::fprintf(stderr, "%s\n", ukrainian.problem().toUtf8().constData());
    const QString program = QCoreApplication::applicationFilePath();

    int status = 0;
    bool restart = false;
    {
        // The windows bind to the data module, the settings and the logs as they are
        // built, so the context holding them comes first; the windows follow in order.
        MessageBoxPrompt prompt;
        ServiceContext context(QDir::currentPath(), prompt);
        if (!ukrainian.problem().isEmpty())
            context.webLog.event(QStringLiteral("]: ") + ukrainian.problem());
        ServerControl control(context, false);
        QObject::connect(&control, &ServerControl::openUrl, &app, &OpenExternalUrl);

        TForm1 form1(context, control);
        prompt.setParentWidget(&form1);
        auto *form2 = new TForm2(context, &form1);
        auto *form3 = new TForm3(context, &form1);
        form1.setWindows(form2, form3);
        if (std::find(arguments.begin() + 1, arguments.end(), "--start") != arguments.end())
            form1.startServersAfterStartUp();
        QObject::connect(&control, &ServerControl::creationPageShown, form3,
                         &TForm3::showCreationPage);
        QObject::connect(&control, &ServerControl::creationProgress, form3,
                         &TForm3::addCreationProgress);

        // Ctrl+C or a SIGTERM stops the servers and saves the logs as "ЗУПИНИТИ СЕРВЕР"
        // and "ВИХІД" would; a hang-up of the terminal that started the window loads the
        // news again, as in headless mode, instead of ending the program and its logs.
        ProcessSignals processSignals(true);
        QObject::connect(&processSignals, &ProcessSignals::reloadRequested, &form1, [&] {
            const QString problem = context.news.load();
            if (!problem.isEmpty())
                prompt.message(problem);
        });
        QObject::connect(&processSignals, &ProcessSignals::stopRequested, &form1, [&] {
            control.stopServers();
            form1.close();
        });
        QObject::connect(&form1, &TForm1::closed, &app, &QCoreApplication::exit);
        processSignals.catchSignals();
        QObject::connect(&control, &ServerControl::databaseClientStarted, &processSignals,
                         &ProcessSignals::catchSignals);

        form1.showMaximized();
        status = app.exec();
        restart = form1.restartRequested();
    }
    fb::ShutdownClient();
    // Only now are both databases closed: the embedded engine lets one process at a
    // time open a database file.
    if (restart)
        return startAgain(program, arguments);
    return status;
}
