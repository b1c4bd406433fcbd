#pragma once

#include "web/framework/controls.h"

#include <QDateTime>
#include <QStringList>

#include <optional>

class ServiceContext;

// The options of an order on the order pages: the extras (animals, out of town,
// minivan, estate car or cargo with its description, free text) and the preliminary
// time (date, hour, minute). Both pages name these controls alike; each hands its
// own over here.
class OrderOptions {
public:
    struct Controls {
        WebCheckBox &animals;
        WebCheckBox &outOfTown;
        WebCheckBox &minivan;
        WebCheckBox &cargo;
        WebEdit &cargoText;
        WebCheckBox &freeText;
        WebEdit &freeTextEdit;
        WebCheckBox &preliminary;
        WebEdit &date;
        WebEdit &hour;
        WebEdit &minute;
    };

    // Sets the controls up and connects the check boxes that open their fields.
    explicit OrderOptions(Controls controls);

    // The preliminary box unchecked, its fields disabled and set to now; the cargo
    // and free texts emptied. The extras boxes keep their state.
    void Reset();
    // The preliminary box's click: the fields set to now, enabled while it is checked.
    void PreliminaryClick();
    // Date, hour and minute of now in the fields.
    void SetToNow();

    // The time the client entered; none when it does not read as a date and time.
    std::optional<QDateTime> PreliminaryTime() const;
    // The items of the preliminary time and the extras checks that fail.
    QStringList Check(const QDateTime &now, ServiceContext &context) const;
    // The text stored with an order: its kind, telephone and tariff, and the extras in
    // parentheses (their parentheses and square brackets turned into angle brackets).
    QString AdditionalDataText(const QString &telephone, const QString &tariff) const;

private:
    Controls c_;
};
