#include "shell/lifecycle_headless.h"

#include "data/fb.h"
#include "shell/lifecycle_server_control.h"
#include "shell/process_signals.h"
#include "shell/service_context.h"
#include "shell/stderr_echo.h"
#include "shell/stderr_prompt.h"

#include <QCoreApplication>
#include <QDir>

#include <cstdio>

namespace {

void report(const QString &text) { std::fprintf(stderr, "%s\n", text.toUtf8().constData()); }

// The journal shows the service live: each line of a log also goes to stderr, handed
// over on the thread that logged it, so in the log's own order and whether or not the
// main thread is busy.
void echo(OperatorLog &log, const char *name, StderrEcho &to)
{
    QObject::connect(
        &log, &OperatorLog::lineAppended, &log,
        [name, &to](const QString &line) { to.write(name + (": " + line.toUtf8()) + '\n'); }, Qt::DirectConnection);
}

int serve(QCoreApplication &app)
{
    StderrPrompt prompt;
    StderrEcho journal;
    ServiceContext context(QDir::currentPath(), prompt);
    echo(context.webLog, "web", journal);
    echo(context.mobileLog, "mobile", journal);
    prompt.setLog(&context.webLog);
    QObject::connect(&context.webLog, &OperatorLog::problem, &app, report, Qt::QueuedConnection);
    QObject::connect(&context.mobileLog, &OperatorLog::problem, &app, report, Qt::QueuedConnection);
    ServerControl control(context, true);

    int status = 0;
    ProcessSignals processSignals(true);
    QObject::connect(&processSignals, &ProcessSignals::stopRequested, &app, [&] {
        control.stopServers();
        status = control.FormClose() ? 0 : 1;
        app.quit();
    });
    QObject::connect(&processSignals, &ProcessSignals::reloadRequested, &app, [&] {
        const QString problem = context.news.load();
        if (!problem.isEmpty())
            prompt.message(problem);
    });
    processSignals.catchSignals();
    QObject::connect(&control, &ServerControl::databaseClientStarted, &processSignals, &ProcessSignals::catchSignals);

    control.FormCreate();
    if (control.StartUp() != ServerControl::StartUpResult::Ready) {
        control.FormClose();
        return 1;
    }
    control.N2Click();
    // Nobody watches a window here: a configured server that is down fails the start.
    if (!control.serversUp()) {
        control.stopServers();
        control.FormClose();
        return 1;
    }
    app.exec();
    return status;
}

}  // namespace

int RunHeadless(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const int status = serve(app);
    fb::ShutdownClient();
    return status;
}
