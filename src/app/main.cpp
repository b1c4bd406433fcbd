#include "shell/lifecycle_headless.h"
#include "shell/process_limits.h"
#include "shell/ui/operator_app.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

// KV_VERSION is the project's version, set by the build.
constexpr const char *kVersion = "korvantis " KV_VERSION " (Web сервіс замовлення таксі \"Tesmora - TAXI\")";

constexpr const char *kUsage =
    "Usage: korvantis [--headless | --start] [--help] [--version]\n"
    "\n"
    "Runs the taxi ordering service in the current folder, which holds SETSERVER.INI,\n"
    "SETTING_KART.INI, KORVANTIS_KLIENT.FDB (created at the first start), NEWS.rtf,\n"
    "LOG/ and Files/.\n"
    "\n"
    "  (no option)  the operator window\n"
    "  --start      the operator window, both servers started at once as by\n"
    "               \"ЗАПУСТИТИ СЕРВЕР\" (headless mode always starts them)\n"
    "  --headless   no window: both servers start at once; messages and every log\n"
    "               line go to stderr;\n"
    "               SIGINT/SIGTERM stop the servers and save the logs,\n"
    "               SIGHUP loads NEWS.rtf again\n"
    "  --help       this text\n"
    "  --version    the program's version\n"
    "\n"
    "Exit status: 0 after a normal stop; 1 when start-up fails, a configured server\n"
    "cannot start (headless) or a log cannot be saved at the end (headless).\n";

}  // namespace

int main(int argc, char **argv)
{
    // Without TZ the C library reads /etc/localtime again at every local time conversion
    // (each date and time a statement returns): the same zone, named once, is read once.
    ::setenv("TZ", ":/etc/localtime", 0);
    RaiseDescriptorLimit();
    IgnoreFileSizeSignal();

    // Answered before any window system or database is touched.
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0) {
            std::fputs(kUsage, stdout);
            return 0;
        }
        if (std::strcmp(argv[i], "--version") == 0) {
            std::printf("%s\n", kVersion);
            return 0;
        }
    }
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], "--headless") == 0)
            return RunHeadless(argc, argv);
    return RunOperatorWindow(argc, argv);
}
