#include "web/order_options.h"

#include "common/regional_format.h"
#include "common/typed_text.h"
#include "shell/order_limits.h"

OrderOptions::OrderOptions(Controls controls) : c_(controls)
{
    c_.animals.caption = QStringLiteral("Перевезення тварин");
    c_.outOfTown.caption = QStringLiteral("Поїздка за місто");
    c_.minivan.caption = QStringLiteral("Мінівен (більше 4 чоловік)");
    c_.cargo.caption = QStringLiteral("Універсал / вантажний");
    c_.cargo.onAsyncClick = [this] { c_.cargoText.enabled = c_.cargo.checked; };
    c_.cargoText.maxLength = 200;
    c_.freeText.caption = QStringLiteral("Додаткові дані замовл.");
    c_.freeText.onAsyncClick = [this] { c_.freeTextEdit.enabled = c_.freeText.checked; };
    c_.freeTextEdit.maxLength = 200;
    c_.freeTextEdit.accessibleName = c_.freeText.caption;
    c_.preliminary.onAsyncClick = [this] { PreliminaryClick(); };
    c_.date.maxLength = 10;
    c_.hour.maxLength = c_.minute.maxLength = 2;
    // The pages' one label "Год./хв." stands over both fields.
    c_.hour.accessibleName = QStringLiteral("Год.");
    c_.minute.accessibleName = QStringLiteral("хв.");
    c_.date.cssClass = QStringLiteral("kv-date");
    c_.hour.cssClass = c_.minute.cssClass = QStringLiteral("kv-time");
}

void OrderOptions::SetToNow()
{
    const QDateTime now = QDateTime::currentDateTime();
    c_.date.text = RegionalFormat::dateText(now.date());
    c_.hour.text = QString::number(now.time().hour());
    c_.minute.text = QString::number(now.time().minute());
}

void OrderOptions::Reset()
{
    c_.preliminary.checked = false;
    SetToNow();
    c_.date.enabled = c_.hour.enabled = c_.minute.enabled = false;
    c_.cargoText.text.clear();
    c_.freeTextEdit.text.clear();
    c_.cargoText.enabled = c_.cargo.checked;
    c_.freeTextEdit.enabled = c_.freeText.checked;
}

void OrderOptions::PreliminaryClick()
{
    SetToNow();
    c_.date.enabled = c_.hour.enabled = c_.minute.enabled = c_.preliminary.checked;
}

std::optional<QDateTime> OrderOptions::PreliminaryTime() const
{
    const QDateTime time = RegionalFormat::readDateTime(c_.date.text + u' ' + c_.hour.text + u':' + c_.minute.text);
    return time.isValid() ? std::optional(time) : std::nullopt;
}

QStringList OrderOptions::Check(const QDateTime &now, ServiceContext &context) const
{
    QStringList errors;
    if (c_.preliminary.checked) {
        const std::optional<QDateTime> when = PreliminaryTime();
        if (!when)
            errors << QStringLiteral("[не вірно введені дата/час (наприклад вірно дата<01.01.2011>, год від "
                                     "<00>..<23>, хв <00>..<59> )]");
        else if (*when < now)
            errors << QStringLiteral("[вказана дата і час менша дійсності]");
        else if (const QString far = FarPreliminaryItem(context, *when, now); !far.isEmpty())
            errors << far;
    }
    if (c_.cargo.checked && c_.cargoText.text.isEmpty())
        errors << QStringLiteral("[не вказані додаткові дані вантажа (або зніміть галочку)]");
    if (c_.freeText.checked && c_.freeTextEdit.text.isEmpty())
        errors << QStringLiteral("[не вказані додаткові дані замовлення (або зніміть галочку)]");
    return errors;
}

QString OrderOptions::AdditionalDataText(const QString &telephone, const QString &tariff) const
{
    QStringList extras;
    const auto add = [&extras](const QString &first, const QString &next) { extras << (extras.isEmpty() ? first : next); };
    if (c_.animals.checked)
        add(QStringLiteral("Перевезення тварин"), QStringLiteral("перевезення тварин"));
    if (c_.outOfTown.checked)
        add(QStringLiteral("Поїздка за місто"), QStringLiteral("поїздка за місто"));
    if (c_.minivan.checked)
        add(QStringLiteral("Мінівен"), QStringLiteral("мінівен"));
    if (c_.cargo.checked)
        add(QStringLiteral("Вантаж <") + c_.cargoText.text + u'>', QStringLiteral("вантаж <") + c_.cargoText.text + u'>');
    if (c_.freeText.checked)
        add(QStringLiteral("Додатково <") + c_.freeTextEdit.text + u'>',
            QStringLiteral("додатково <") + c_.freeTextEdit.text + u'>');
    const QString list = ExtrasText(extras.join(QStringLiteral(", ")));
    return (c_.preliminary.checked ? QStringLiteral("{попереднє}   тел.:[") : QStringLiteral("{швидке}   тел.:["))
        + telephone + QStringLiteral("]   тариф:[") + tariff + QStringLiteral("]  ") + u'(' + list + u')';
}
