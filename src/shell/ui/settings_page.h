#pragma once

#include "shell/server_settings.h"

#include <QWidget>

#include <functional>
#include <utility>
#include <vector>

class QCheckBox;
class QFormLayout;
class QGroupBox;
class QLabel;
class QLineEdit;
class QToolButton;
class QVBoxLayout;
class ServiceContext;
class TariffComboBox;

// The "  НАЛАШТУВАННЯ  " page. Its controls edit ServerSettings directly: every change
// is in force at once for every user of the settings, and the save button writes them
// to SETSERVER.INI.
class SettingsPage : public QWidget {
    Q_OBJECT
public:
    explicit SettingsPage(ServiceContext &context, QWidget *parent = nullptr);

    // Where the tariff list comes from (the dispatchers' TARIFI by default).
    void setTariffSource(std::function<QStringList()> source) { tariffSource_ = std::move(source); }

    // Shows ServerSettings again, after the file was read or the advert restored.
    void refresh();
    // After LoadSettings: the database location and login are shown from now on.
    void showLoadedSettings();

    void SpeedButton1Click();   // save
    void SpeedButton20Click();  // default advert back
    // Empties the tariff list and the choice, then fills it afresh; false on an error.
    bool ComboBox3DropDown();

signals:
    void advertScheduleRequested();  // SpeedButton4 "Розклад реклами ... "

private:
    QWidget *buildSaveStrip();
    QWidget *buildGroups();
    QGroupBox *firmGroup();
    QGroupBox *databaseGroup();
    QGroupBox *mobileGroup();
    QGroupBox *webGroup();
    QGroupBox *ordersGroup();
    QGroupBox *advertGroup();

    void addText(QFormLayout *form, const char *name, const QString &caption,
                 QString ServerSettings::*member, bool number = false);
    void addFlag(QFormLayout *form, const char *name, const QString &caption,
                 bool ServerSettings::*member);
    QLabel *addDatabaseLabel(QFormLayout *form, const char *name, const QString &caption, QWidget *beside = nullptr);
    // The database password stays masked until the operator asks to see it.
    void showPassword();
    void chooseTariff(const QString &name);

    ServiceContext &context_;
    std::function<QStringList()> tariffSource_;
    std::vector<std::pair<QLineEdit *, QString ServerSettings::*>> texts_;
    std::vector<std::pair<QCheckBox *, bool ServerSettings::*>> flags_;
    std::vector<std::pair<QLabel *, QString ServerSettings::*>> databaseLabels_;
    TariffComboBox *tariff_ = nullptr;
    QLabel *password_ = nullptr;
    QToolButton *passwordShown_ = nullptr;
    bool databaseShown_ = false;
};
