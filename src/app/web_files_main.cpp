// korvantis-web-files: writes the plain versions of the web pages' files (the time-out
// page and the button pictures) into a folder, as the web server does at its start
// for the ones missing; the build installs them as the Files/ defaults.
//
//   korvantis-web-files FOLDER

#include "web/web_files.h"

#include <QDir>
#include <QString>

#include <cstdio>

int main(int argc, char **argv)
{
    if (argc != 2) {
        std::fputs("usage: korvantis-web-files FOLDER\n", stderr);
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    EnsureWebFiles(folder);
    if (!QDir(folder).exists(QStringLiteral("TimeOut.html"))) {
        std::fprintf(stderr, "korvantis-web-files: cannot write into %s\n", argv[1]);
        return 1;
    }
    return 0;
}
