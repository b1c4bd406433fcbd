// korvantis-dispatcher: acts as the dispatchers' program on their database, for the
// demo and for trying the service by hand. Reach the database through a Firebird
// server ("localhost:/path/DISPATCH.FDB") so that korvantis sees the events.
//
//   korvantis-dispatcher DATABASE PASSWORD assign ORDER CALLSIGN
//   korvantis-dispatcher DATABASE PASSWORD arrive ORDER
//   korvantis-dispatcher DATABASE PASSWORD complete ORDER
//   korvantis-dispatcher DATABASE PASSWORD delete ORDER
//   korvantis-dispatcher DATABASE PASSWORD building NUMBER X Y STREET CAPTION
//   korvantis-dispatcher DATABASE PASSWORD live [SECONDS]
//
// "live" brings every open web order one step further each SECONDS (20 by default):
// a car takes it, then arrives, then the trip is completed.

#include "dispatcher.h"

#include <QCoreApplication>
#include <QStringList>
#include <QThread>

#include <csignal>
#include <cstdio>
#include <optional>

namespace {

int usage()
{
    std::fputs("usage: korvantis-dispatcher DATABASE PASSWORD "
               "assign ORDER CALLSIGN | arrive ORDER | complete ORDER | delete ORDER |\n"
               "       building NUMBER X Y STREET CAPTION | live [SECONDS]\n",
               stderr);
    return 2;
}

std::optional<int> number(const QString &text)
{
    bool ok = false;
    const int value = text.toInt(&ok);
    return ok ? std::optional(value) : std::nullopt;
}

void say(const QString &text) { std::printf("%s\n", text.toLocal8Bit().constData()); std::fflush(stdout); }

// One step for every open web order.
void liveStep(kvtest::Dispatcher &dispatcher, const QStringList &callsigns)
{
    for (const kvtest::Dispatcher::OpenOrder &order : dispatcher.openWebOrders()) {
        if (order.callsign.isEmpty()) {
            const QString callsign = callsigns.value(order.number % callsigns.size());
            dispatcher.assignCar(order.number, callsign);
            say(QStringLiteral("order %1: car %2 takes it").arg(order.number).arg(callsign));
        } else if (!order.arrived) {
            dispatcher.driverArrived(order.number);
            say(QStringLiteral("order %1: car %2 has arrived").arg(order.number).arg(order.callsign));
        } else {
            dispatcher.complete(order.number);
            say(QStringLiteral("order %1: completed").arg(order.number));
        }
    }
}

}  // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    if (args.size() < 3)
        return usage();
    const QString command = args[2];
    const QStringList rest = args.mid(3);
    try {
        kvtest::Dispatcher dispatcher({args[0], QStringLiteral("SYSDBA"), args[1]});
        // The Firebird client takes SIGINT and SIGTERM at its first connection and does not
        // end the process on them: the stand-in ends on them like any program again (the
        // demo stops it with SIGTERM, Ctrl+C reaches it too).
        std::signal(SIGINT, SIG_DFL);
        std::signal(SIGTERM, SIG_DFL);
        // Order and building numbers are positive; 0 stands for none given.
        const int order = rest.isEmpty() ? 0 : number(rest[0]).value_or(0);
        if (command == QStringLiteral("assign") && order > 0 && rest.size() == 2) {
            dispatcher.assignCar(order, rest[1]);
        } else if (command == QStringLiteral("arrive") && order > 0 && rest.size() == 1) {
            dispatcher.driverArrived(order);
        } else if (command == QStringLiteral("complete") && order > 0 && rest.size() == 1) {
            dispatcher.complete(order);
        } else if (command == QStringLiteral("delete") && order > 0 && rest.size() == 1) {
            dispatcher.remove(order);
        } else if (command == QStringLiteral("building") && rest.size() == 5) {
            const int x = number(rest[1]).value_or(-1), y = number(rest[2]).value_or(-1);
            const int street = number(rest[3]).value_or(0);
            if (order <= 0 || x < 0 || y < 0 || street <= 0)
                return usage();
            dispatcher.addBuilding(order, x, y, street, rest[4]);
        } else if (command == QStringLiteral("live") && rest.size() <= 1) {
            const int seconds = rest.isEmpty() ? 20 : number(rest[0]).value_or(0);
            const QStringList callsigns = dispatcher.callsigns();
            if (seconds <= 0 || callsigns.isEmpty())
                return usage();
            for (;;) {
                liveStep(dispatcher, callsigns);
                QThread::sleep(seconds);
            }
        } else {
            return usage();
        }
    } catch (const std::exception &error) {
        std::fprintf(stderr, "korvantis-dispatcher: %s\n", error.what());
        return 1;
    }
    return 0;
}
