#include "route/map_texts.h"

#include "common/win1251.h"

QString MapTexts::padded(const QString &value)
{
    qsizetype end = value.size();
    while (end > 0 && value[end - 1] == u' ')
        --end;
    return value.left(end);
}

void MapTexts::addStreet(int number, const QString &name)
{
    lastStreet_.insert(padded(name), number);
}

void MapTexts::addCaption(int point, const std::array<int, 5> &streets, const QString &caption)
{
    lastCaption_.insert(padded(caption), captions_.size());
    captions_.push_back({{point, streets}, caption});
}

bool MapTexts::answersEquality(const QString &value) { return win1251::representable(value); }

bool MapTexts::answersContaining(const QString &key)
{
    return win1251::representable(key) && !key.contains(u'%') && !key.contains(u'_');
}

std::optional<int> MapTexts::streetNumber(const QString &name) const
{
    const auto found = lastStreet_.constFind(padded(name));
    if (found == lastStreet_.constEnd())
        return std::nullopt;
    return found.value();
}

std::optional<MapTexts::Captioned> MapTexts::withCaption(const QString &caption) const
{
    const auto found = lastCaption_.constFind(padded(caption));
    if (found == lastCaption_.constEnd())
        return std::nullopt;
    return captions_[found.value()].point;
}

std::optional<int> MapTexts::pointContaining(const QString &key) const
{
    for (auto entry = captions_.rbegin(); entry != captions_.rend(); ++entry)
        if (entry->caption.contains(key))
            return entry->point.point;
    return std::nullopt;
}
