#include "scripted_prompt.h"
#include "ui_test_support.h"

#include "shell/lifecycle_server_control.h"
#include "shell/service_context.h"
#include "shell/ui/active_connections_grid.h"
#include "shell/ui/advert_window.h"
#include "shell/ui/clients_log_window.h"
#include "shell/ui/main_window.h"
#include "shell/ui/requests_page.h"
#include "shell/ui/settings_page.h"
#include "shell/ui/status_strip.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QTabWidget>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

// The window is never shown here, so start-up (which needs the databases) does not run.
class MainWindowTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    kvtest::ScriptedPrompt prompt;
    ServiceContext context{dir.path(), prompt};
    ServerControl control{context, false};
    TForm1 form{context, control};
    TForm2 *form2 = new TForm2(context, &form);
    TForm3 *form3 = new TForm3(context, &form);

    MainWindowTest() { form.setWindows(form2, form3); }

    QStringList tabCaptions(const QTabWidget *tabs) const
    {
        QStringList captions;
        for (int i = 0; i < tabs->count(); ++i)
            captions << tabs->tabText(i);
        return captions;
    }
    QAction *action(const char *name) const
    {
        auto *found = form.findChild<QAction *>(QString::fromLatin1(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }
    QStringList menuItems(const QList<QAction *> &actions) const
    {
        QStringList items;
        for (const QAction *a : actions)
            items << a->objectName() + u'=' + a->text();
        return items;
    }
};

TEST_F(MainWindowTest, CaptionStripAndCounters)
{
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Web сервіс замовлення таксі \"Tesmora - TAXI\""));
    EXPECT_EQ(form.statusStrip()->caption(), QStringLiteral("СЕРВЕР НЕ ЗАПУЩЕНИЙ"));
    for (const char *name : {"Label3", "Label25", "Label7", "Label11"})
        EXPECT_EQ(form.findChild<QLabel *>(QString::fromLatin1(name))->text(), kNotSet) << name;
}

TEST_F(MainWindowTest, PagesInTheirOrder)
{
    EXPECT_EQ(tabCaptions(form.pageControl()),
              (QStringList{
                  QStringLiteral("  АКТИВНІ ЗЄДНАННЯ  "), QStringLiteral("  ПОДАНІ  ЗАЯВКИ  "),
                  QStringLiteral("  СКАРГИ  /  ПРОПОЗИЦІЇ  "), QStringLiteral("  НАЛАШТУВАННЯ  "),
                  QStringLiteral("  ДОДАТКОВІ  ФУНКЦІЇ  ")}));
    auto *extra = qobject_cast<QTabWidget *>(form.pageControl()->widget(4));
    ASSERT_NE(extra, nullptr);
    EXPECT_EQ(tabCaptions(extra), QStringList{QStringLiteral("  НОВИНИ  ")});

    QStringList columns;
    for (int i = 0; i < form.activeConnections()->columnCount(); ++i)
        columns << form.activeConnections()->horizontalHeaderItem(i)->text();
    EXPECT_EQ(
        columns,
        (QStringList{QStringLiteral("н/п"), QStringLiteral("IP"), QStringLiteral("ID"),
                     QStringLiteral("Код клієнта"), QStringLiteral("Дата і час входу"),
                     QStringLiteral("Номер телефона"), QStringLiteral("ЧАС ЗАКІНЧЕННЯ СЕСІЇ")}));
}

TEST_F(MainWindowTest, MenuAsDesigned)
{
    EXPECT_EQ(menuItems(form.menuBar()->actions()),
              (QStringList{
                  QStringLiteral("N1=СЕРВЕР"), QStringLiteral("N4=АКТИВНІ ЗЄДНАННЯ"),
                  QStringLiteral("N6=ТАБЛИЦЯ КЛІЄНТІВ"),
                  QStringLiteral("LOG1=LOG-файл підключення WEB SERVER  "),
                  QStringLiteral("LOGJAVAGPRSSERVER1=LOG-файл підключення  JAVA/GPRS SERVER  ")}));

    const QStringList server = menuItems(action("N1")->menu()->actions());
    ASSERT_EQ(server.size(), 7);
    EXPECT_EQ(server.mid(0, 5), (QStringList{QStringLiteral("N2=ЗАПУСТИТИ СЕРВЕР"),
                                             QStringLiteral("N5=ЗУПИНИТИ СЕРВЕР"),
                                             QStringLiteral("Exel1=Експорт в  Exel  ...."),
                                             QStringLiteral("N7=РОЗКЛАД РЕКЛАМИ"),
                                             QStringLiteral("N17=ЛІЧИЛЬНИК АККАУНТІВ")}));
    EXPECT_TRUE(server[5].startsWith(QStringLiteral("N15=---")));
    EXPECT_FALSE(action("N15")->isEnabled());
    EXPECT_EQ(server[6], QStringLiteral("N3=ВИХІД"));

    EXPECT_EQ(
        menuItems(action("Exel1")->menu()->actions()),
        (QStringList{QStringLiteral("N11=Таблицю активних зєднань"),
                     QStringLiteral("N12=Таблицю заявок"), QStringLiteral("N13=Таблицю скарг")}));
    for (const char *name : {"N11", "N12", "N13"})
        EXPECT_TRUE(action(name)->isEnabled()) << name;
    // Start and stop wait for start-up to open the databases.
    EXPECT_FALSE(action("N2")->isEnabled());
    EXPECT_FALSE(action("N5")->isEnabled());

    EXPECT_EQ(menuItems(action("N4")->menu()->actions()),
              QStringList{QStringLiteral("N8=ДЕАКТИВУВАТИ ...")});
    EXPECT_EQ(menuItems(action("N8")->menu()->actions()),
              QStringList{QStringLiteral("N10=ВИБІРКУ КЛІЄНТІВ")});
}

TEST_F(MainWindowTest, SettingsTabLeavesWhileRunningAndComesBackInPlace)
{
    QTabWidget *pages = form.pageControl();
    emit control.settingsPageVisible(false);
    emit control.settingsPageVisible(false);
    EXPECT_EQ(pages->indexOf(form.settingsPage()), -1);
    EXPECT_EQ(pages->count(), 4);

    emit control.settingsPageVisible(true);
    emit control.settingsPageVisible(true);
    EXPECT_EQ(pages->indexOf(form.settingsPage()), 3);
    EXPECT_EQ(pages->tabText(3), QStringLiteral("  НАЛАШТУВАННЯ  "));
    EXPECT_EQ(pages->count(), 5);
}

TEST_F(MainWindowTest, StripFollowsTheRunningFlag)
{
    emit control.runningChanged(true);
    EXPECT_EQ(form.statusStrip()->caption(), QStringLiteral("СЕРВЕР ЗАПУЩЕНИЙ"));
    emit control.runningChanged(false);
    EXPECT_EQ(form.statusStrip()->caption(), QStringLiteral("СЕРВЕР НЕ ЗАПУЩЕНИЙ"));
    // A lost dispatchers' database shows until it is back; the service database's does not.
    for (const auto &[database, connected, lost] : {std::tuple{TDANI::Database::Dispatch, false, true},
                                                    std::tuple{TDANI::Database::Service, true, true},
                                                    std::tuple{TDANI::Database::Dispatch, true, false}}) {
        emit context.danni.connectionChanged(database, connected, {});
        QCoreApplication::processEvents();
        EXPECT_EQ(form.statusStrip()->dispatchLost(), lost);
    }
}

TEST_F(MainWindowTest, StopRefreshesTheAdvertOnTheSettingsPage)
{
    context.settings.URL_SAIT = QStringLiteral("http://shop.example/");
    emit control.runningChanged(false);
    EXPECT_EQ(form.settingsPage()->findChild<QLineEdit *>(QStringLiteral("Edit17"))->text(),
              QStringLiteral("http://shop.example/"));
}

TEST_F(MainWindowTest, AccountCounterNeedsRunningServers)
{
    action("N17")->trigger();
    EXPECT_EQ(prompt.messages, QStringList{QStringLiteral("Сервер не запущений")});
    EXPECT_FALSE(form3->isVisible());

    context.panelCaption = kRunningCaption;
    action("N17")->trigger();
    EXPECT_TRUE(form3->isVisible());
    EXPECT_EQ(form3->currentPage(), TForm3::Page::Licilnik);
    form3->close();
}

TEST_F(MainWindowTest, MenuOpensTheWindowsOnTheirPages)
{
    action("LOGJAVAGPRSSERVER1")->trigger();
    EXPECT_TRUE(form2->isVisible());
    EXPECT_EQ(form2->currentPage(), TForm2::Page::LogListJava);
    form2->close();

    action("LOG1")->trigger();
    EXPECT_EQ(form2->currentPage(), TForm2::Page::LogList);
    form2->close();

    action("N6")->trigger();
    EXPECT_EQ(form2->currentPage(), TForm2::Page::TablKlient);
    form2->close();

    action("N7")->trigger();
    EXPECT_EQ(form3->currentPage(), TForm3::Page::Reklama);
    form3->close();
}

TEST_F(MainWindowTest, RequestsAndComplaintsOpenTheClientsTableOnTheirSearch)
{
    const ClientSearch search{ClientSearch::Field::Telephone, QStringLiteral("0671112233")};
    emit form.findChild<RequestsPage *>()->clientsRequested(search);
    EXPECT_TRUE(form2->isVisible());
    EXPECT_EQ(form2->currentPage(), TForm2::Page::TablKlient);
    EXPECT_EQ(form2->findChild<QComboBox *>(QStringLiteral("ComboBox4"))->currentText(), search.text);
    form2->close();
}

TEST_F(MainWindowTest, ClosingIsRefusedWhileRunning)
{
    context.panelCaption = kRunningCaption;
    EXPECT_FALSE(form.close());
    EXPECT_EQ(prompt.messages, QStringList{QStringLiteral(
                                   "НЕМАЄ МОЖЛИВОСТІ ЗАКРИТИ ПРОГРАМУ - ВКЛЮЧЕНІ РОЗДАЧИ (потрібно "
                                   "спочатку обнулити роздачи)")});

    context.panelCaption = kStoppedCaption;
    EXPECT_TRUE(form.close());
}

TEST_F(MainWindowTest, AFailedStartUpEndsTheProgram)
{
    // No SETSERVER.INI in the folder.
    QList<int> closed;
    QObject::connect(&form, &TForm1::closed, [&](int status) { closed << status; });
    form.FormShow();
    EXPECT_EQ(prompt.messages.value(0), QStringLiteral("Не найдено файл SETSERVER.INI для звязку з головною базою !!!"));
    EXPECT_EQ(closed, QList<int>{1});
}

TEST_F(MainWindowTest, GridFindsColumnsByNameAndKeepsThePosition)
{
    GridSnapshot snapshot;
    snapshot.columns
        = QStringList{QStringLiteral("TABLE_ACTIV_END"), QStringLiteral("TABLE_ACTIV_KOD"),
                      QStringLiteral("TABLE_ACTIV_NP"), QStringLiteral("TABLE_ACTIV_IP"),
                      QStringLiteral("TABLE_ACTIV_EXTRA")};
    snapshot.rows = {
        {QStringLiteral("01.01.2024 10:10:00"), QString(), QStringLiteral("1"),
         QStringLiteral("10.0.0.1"), QStringLiteral("x")},
        {QStringLiteral("01.01.2024 10:40:00"), QStringLiteral("77"), QStringLiteral("2"),
         QStringLiteral("10.0.0.2"), QStringLiteral("y")},
    };
    snapshot.position = 2;
    snapshot.generation = 1;

    // Queued from the data module, as web threads hand their refreshes over.
    emit context.danni.gridChanged(TDANI::Grid::Activ, snapshot);
    emit context.danni.gridChanged(TDANI::Grid::Zayavki, GridSnapshot{});
    DeliverQueued();

    ActiveConnectionsGrid *grid = form.activeConnections();
    ASSERT_EQ(grid->rowCount(), 2);
    EXPECT_EQ(grid->item(1, 0)->text(), QStringLiteral("2"));
    EXPECT_EQ(grid->item(1, 1)->text(), QStringLiteral("10.0.0.2"));
    EXPECT_EQ(grid->item(1, 2)->text(), QString());
    EXPECT_EQ(grid->item(1, 3)->text(), QStringLiteral("77"));
    EXPECT_EQ(grid->item(1, 6)->text(), QStringLiteral("01.01.2024 10:40:00"));
    EXPECT_EQ(grid->currentRow(), 1);
    EXPECT_EQ(grid->selectedClientCode(), QStringLiteral("77"));
}

TEST_F(MainWindowTest, CountersFollowTheDataModule)
{
    context.danni.activeCount = QStringLiteral("3");
    context.danni.complaintCount = QStringLiteral("1");
    emit context.danni.countersChanged();
    DeliverQueued();
    EXPECT_EQ(form.findChild<QLabel *>(QStringLiteral("Label3"))->text(), QStringLiteral("3"));
    EXPECT_EQ(form.findChild<QLabel *>(QStringLiteral("Label11"))->text(), QStringLiteral("1"));
}

}  // namespace
