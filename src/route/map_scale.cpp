#include "route/map_scale.h"

#include "common/ini_file.h"

#include <QDir>
#include <QFileInfo>

#include <cmath>

namespace {

std::optional<double> decimal(const QString &text)
{
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty())
        return 0.0;
    QString normal = trimmed;
    normal.replace(u',', u'.');
    bool ok = false;
    const double value = normal.toDouble(&ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}

}  // namespace

MapScale MapScale::read(const QString &folder)
{
    MapScale scale;
    const QString path = QDir(folder).filePath(QStringLiteral("SETTING_KART.INI"));
    if (!QFileInfo(path).isFile())
        return scale;
    const IniFile ini(path);
    const auto length = decimal(ini.readString(QStringLiteral("KARTA_MISTA"), QStringLiteral("LENGTH")));
    const auto point = decimal(ini.readString(QStringLiteral("KARTA_MISTA"), QStringLiteral("LENGTH_TOCHKA")));
    scale.status = Status::Invalid;
    if (length && point) {
        scale.length = *length;
        scale.lengthPoint = *point;
        scale.status = Status::Ok;
    }
    return scale;
}

std::optional<double> MapScale::kilometres(double mapUnits) const
{
    if (status != Status::Ok || lengthPoint == 0)
        return std::nullopt;
    const double value = mapUnits * length / lengthPoint / 1000;
    if (!std::isfinite(value))
        return std::nullopt;
    return value;
}
