#pragma once

#include <QLocale>
#include <QString>
#include <QTranslator>

// Qt's own texts in Ukrainian for the operator window: the buttons of every question,
// the standard dialogs and context menus (Debian's qt6-translations-l10n), and the
// Ukrainian locale for the names of months and days in the pickers' calendars.
// The designed dd.MM.yyyy forms stay, and the texts of the service (logs, pages,
// answers) keep their own fixed formats. Undone when it goes.
class UkrainianUi {
public:
    UkrainianUi();
    ~UkrainianUi();
    UkrainianUi(const UkrainianUi &) = delete;
    UkrainianUi &operator=(const UkrainianUi &) = delete;

    // Empty when Qt's translations were found; otherwise what the operator misses and why.
    const QString &problem() const { return problem_; }

private:
    QLocale previousLocale_;
    QTranslator translator_;
    bool installed_ = false;
    QString problem_;
};
