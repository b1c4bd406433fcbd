#pragma once

#include "common/prompt.h"
#include "data/danni.h"
#include "shell/account_counters.h"
#include "shell/client_budgets.h"
#include "shell/news_text.h"
#include "shell/operator_log.h"
#include "shell/server_settings.h"
#include "shell/setting_numbers.h"

#include <QString>
#include <QStringList>

inline const QString kStoppedCaption = QStringLiteral("СЕРВЕР НЕ ЗАПУЩЕНИЙ");
inline const QString kRunningCaption = QStringLiteral("СЕРВЕР ЗАПУЩЕНИЙ");

// What the subsystems share: the settings in force, the two logs, the counters, the
// news, the data module and the running flag. One per process, created at start.
class ServiceContext {
public:
    ServiceContext(QString folder, Prompt &prompt);

    const QString folder;  // the program's working folder
    Prompt &prompt;
    ServerSettings settings = ServerSettings::pageDefaults();
    OperatorLog webLog;
    OperatorLog mobileLog;
    AccountCounters accounts;
    NewsText news{folder};
    TDANI danni;
    SettingNumbers numbers{webLog};
    ClientBudgets budgets{settings, numbers, {webLog, mobileLog}};

    // The status strip's caption is the running flag of the whole system.
    QString panelCaption = kStoppedCaption;
    bool running() const { return panelCaption != kStoppedCaption; }

    // Distinct categories of the dispatchers' map objects, built at every start.
    QStringList ObjectCategories;
    // New web sessions start on the maintenance page instead of the main page.
    bool startOnMaintenance = false;
    // Number of the advert on show; 0 for none. Starts again at every start.
    int currentAdvert = 0;

    Logs logs() { return {webLog, mobileLog}; }
};
