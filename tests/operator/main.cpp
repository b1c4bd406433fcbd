// korvantis-operator: does what the operator does on the requests and complaints
// pages, through the same handling the window uses, on the databases of a service
// folder whose program is stopped (the embedded engine opens a file for one process).
// Every question is answered Yes; any message to the operator is printed and fails.
//
//   korvantis-operator FOLDER create CODE [PERSONAL_MESSAGE]   the request of CODE
//   korvantis-operator FOLDER answer CODE ANSWER               the newest complaint of CODE

#include "data/database_names.h"
#include "scripted_prompt.h"
#include "shell/complaints_handling.h"
#include "shell/registration_requests.h"
#include "shell/service_context.h"

#include <QCoreApplication>
#include <QDir>

#include <cstdio>
#include <functional>

namespace {

int usage()
{
    std::fputs("usage: korvantis-operator FOLDER create CODE [PERSONAL_MESSAGE] | answer CODE ANSWER\n", stderr);
    return 2;
}

// Moves the grid to the first row whose `field` is `code`; false when there is none.
bool selectRow(TDANI &danni, TDANI::Grid grid, const QString &field, const QString &code,
               const std::function<void(int)> &select)
{
    const GridSnapshot rows = danni.Snapshot(grid);
    const qsizetype column = rows.columns.indexOf(field);
    for (size_t i = 0; i < rows.rows.size(); ++i)
        if (rows.rows[i].value(column) == code) {
            select(int(i) + 1);
            return true;
        }
    return false;
}

int run(const QStringList &arguments)
{
    const QString folder = arguments[1], action = arguments[2], code = arguments[3];
    const QString text = arguments.value(4);
    kvtest::ScriptedPrompt prompt;
    prompt.answers = {true, true};
    ServiceContext context(folder, prompt);
    const DatabaseLogin login{QStringLiteral("SYSDBA"), QStringLiteral("masterkey")};
    if (!context.danni.OpenDispatchBase(QDir(folder).filePath(QStringLiteral("DISPATCH.FDB")), login, prompt)
        || !context.danni.OpenServiceBase(ServiceDatabaseName(folder), login, prompt)) {
        std::fprintf(stderr, "%s\n", qPrintable(prompt.messages.join(u'\n')));
        return 1;
    }

    bool found = false;
    if (action == QLatin1String("create")) {
        RegistrationRequests requests(context);
        found = selectRow(context.danni, TDANI::Grid::Zayavki, QStringLiteral("TABLE_ZAYAVKA_KOD"), code,
                          [&](int recNo) { requests.selectRow(recNo); });
        if (found)
            requests.SpeedButton35Click(text);
    } else {
        ComplaintsHandling complaints(context);
        found = selectRow(context.danni, TDANI::Grid::Skarga, QStringLiteral("TABLE_SKARGA_KOD"), code,
                          [&](int recNo) { complaints.selectRow(recNo); });
        if (found)
            complaints.SpeedButton5Click(text);
    }
    if (!found) {
        std::fprintf(stderr, "korvantis-operator: nothing of code %s to %s\n", qPrintable(code), qPrintable(action));
        return 1;
    }
    if (!prompt.messages.isEmpty()) {
        std::fprintf(stderr, "%s\n", qPrintable(prompt.messages.join(u'\n')));
        return 1;
    }
    return 0;
}

}  // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList arguments = app.arguments();
    if (arguments.size() < 4 || (arguments[2] != QLatin1String("create") && arguments[2] != QLatin1String("answer"))
        || (arguments[2] == QLatin1String("answer") && arguments.size() < 5))
        return usage();
    const int status = run(arguments);
    fb::ShutdownClient();
    return status;
}
