#pragma once

#include <QString>

// The files folder of the web pages ("Files" beside the program): the time-out page
// and the button pictures. The operator may replace them; the ones missing are
// written with the service's own plain versions when the web server starts.
void EnsureWebFiles(const QString &filesFolder);
