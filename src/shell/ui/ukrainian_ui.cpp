#include "shell/ui/ukrainian_ui.h"

#include <QCoreApplication>
#include <QDir>
#include <QLibraryInfo>

UkrainianUi::UkrainianUi()
{
    const QLocale ukrainian(QLocale::Ukrainian, QLocale::Ukraine);
    QLocale::setDefault(ukrainian);
    const QString folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    if (translator_.load(ukrainian, QStringLiteral("qtbase"), QStringLiteral("_"), folder))
        installed_ = QCoreApplication::installTranslator(&translator_);
    if (!installed_)
        problem_ = QStringLiteral("Не знайдено українських перекладів Qt (qtbase_uk.qm у %1): кнопки та стандартні "
                                  "діалоги будуть англійською. Встановіть пакет qt6-translations-l10n.")
                       .arg(QDir::toNativeSeparators(folder));
}

UkrainianUi::~UkrainianUi()
{
    if (installed_)
        QCoreApplication::removeTranslator(&translator_);
    QLocale::setDefault(previousLocale_);
}
