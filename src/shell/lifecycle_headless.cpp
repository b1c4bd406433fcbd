#include "shell/lifecycle_headless.h"

#include "data/fb.h"
#include "shell/lifecycle_server_control.h"
#include "shell/service_context.h"
#include "shell/stderr_prompt.h"

#include <QCoreApplication>
#include <QDir>
#include <QSocketNotifier>

#include <csignal>
#include <cstdio>
#include <sys/socket.h>
#include <unistd.h>

namespace {

int signalPipe[2] = {-1, -1};

void onStopSignal(int)
{
    const char byte = 1;
    [[maybe_unused]] const auto written = ::write(signalPipe[1], &byte, 1);
}

void catchStopSignals()
{
    struct sigaction action = {};
    action.sa_handler = onStopSignal;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
}

void report(const QString &text) { std::fprintf(stderr, "%s\n", text.toUtf8().constData()); }

int serve(QCoreApplication &app)
{
    StderrPrompt prompt;
    ServiceContext context(QDir::currentPath(), prompt);
    prompt.setLog(&context.webLog);
    QObject::connect(&context.webLog, &OperatorLog::problem, &app, report, Qt::QueuedConnection);
    QObject::connect(&context.mobileLog, &OperatorLog::problem, &app, report, Qt::QueuedConnection);
    ServerControl control(context, true);

    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, signalPipe) != 0) {
        report(QStringLiteral("socketpair failed"));
        return 1;
    }
    QSocketNotifier notifier(signalPipe[0], QSocketNotifier::Read);
    QObject::connect(&notifier, &QSocketNotifier::activated, &app, [&] {
        char byte;
        [[maybe_unused]] const auto got = ::read(signalPipe[0], &byte, 1);
        control.N5Click();
        control.FormClose();
        app.quit();
    });
    catchStopSignals();
    if (control.StartUp() != ServerControl::StartUpResult::Ready) {
        control.FormClose();
        return 1;
    }
    // The Firebird client claims SIGINT and SIGTERM when it starts (for a shutdown of
    // its own that races our exit): take them back now that it has started.
    catchStopSignals();
    control.N2Click();
    if (!context.running()) {
        control.FormClose();
        return 1;
    }
    return app.exec();
}

}  // namespace

int RunHeadless(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const int status = serve(app);
    fb::ShutdownClient();
    return status;
}
