#include "web/framework/form_data.h"

#include <QByteArray>
#include <QList>

namespace {

QString decode(QByteArray part)
{
    part.replace('+', ' ');
    return QString::fromUtf8(QByteArray::fromPercentEncoding(part));
}

}  // namespace

FormData::FormData(const std::string &body)
{
    const QByteArray bytes = QByteArray::fromStdString(body);
    for (const QByteArray &pair : bytes.split('&')) {
        if (pair.isEmpty())
            continue;
        if (fields_.size() >= kMaxFields)
            break;
        const qsizetype equals = pair.indexOf('=');
        if (equals < 0)
            fields_.emplace_back(decode(pair), QString());
        else
            fields_.emplace_back(decode(pair.left(equals)), decode(pair.mid(equals + 1)));
    }
}

bool FormData::has(const QString &name) const
{
    for (const auto &field : fields_)
        if (field.first == name)
            return true;
    return false;
}

QString FormData::value(const QString &name) const
{
    for (auto it = fields_.rbegin(); it != fields_.rend(); ++it)
        if (it->first == name)
            return it->second;
    return {};
}
