#include "shell/setting_numbers.h"

#include "shell/operator_log.h"
#include "shell/server_settings.h"

int SettingNumbers::read(const char *key, const QString &text, int fallback)
{
    if (const std::optional<int> value = ServerSettings::toInt(text))
        return *value;
    if (text.trimmed().isEmpty())
        return fallback;  // not set: the default, nothing to tell
    {
        const QString setting = QLatin1String(key) + u'=' + text;
        std::lock_guard lock(mutex_);
        if (told_.contains(setting))
            return fallback;
        told_.insert(setting);
    }
    log_.event(QStringLiteral("]: Невірно задано %1 = [%2] у SETSERVER.INI (не ціле число); діє %3.")
                   .arg(QLatin1String(key), text)
                   .arg(fallback));
    return fallback;
}
