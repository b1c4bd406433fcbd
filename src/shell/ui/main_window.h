#pragma once

#include <QMainWindow>

class ActiveConnectionsGrid;
class CountersPanel;
class NewsPage;
class QAction;
class QTabWidget;
class ServerControl;
class ServiceContext;
class SettingsPage;
class StatusStrip;
class TForm2;
class TForm3;

// TForm1, the operator window: the running flag, the counters, the pages and the
// menu that starts and stops the servers.
class TForm1 : public QMainWindow {
    Q_OBJECT
public:
    TForm1(ServiceContext &context, ServerControl &control, QWidget *parent = nullptr);

    // The clients-and-log window and the advert window, created after this one.
    void setWindows(TForm2 *clientsAndLogs, TForm3 *adverts);

    StatusStrip *statusStrip() const { return Panel19; }
    QTabWidget *pageControl() const { return PageControl1; }
    SettingsPage *settingsPage() const { return settings_; }
    NewsPage *newsPage() const { return news_; }
    ActiveConnectionsGrid *activeConnections() const { return DBGrid1; }

    // Start-up, once, when the window is first shown.
    void FormShow();
    // Both servers are started as by "ЗАПУСТИТИ СЕРВЕР" once start-up is done (--start).
    void startServersAfterStartUp() { startServers_ = true; }
    // Start-up created the service database: the program is to start again.
    bool restartRequested() const { return restartRequested_; }

    void N2Click();
    void N5Click();
    void N6Click();
    void N7Click();
    void N10Click();
    void N11Click();  // the table exports
    void N12Click();
    void N13Click();
    void N17Click();
    void LOG1Click();
    void LOGJAVAGPRSSERVER1Click();
    void setSettingsPageVisible(bool visible);

signals:
    // The window has closed: the program ends with this status (1 after a failed
    // start-up), whatever other window is still up.
    void closed(int exitStatus);

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void buildMenu();
    QWidget *buildPages();
    QAction *menuItem(QWidget *menu, const char *name, const QString &caption);
    void showRunning(bool running);

    ServiceContext &context_;
    ServerControl &control_;
    TForm2 *form2_ = nullptr;
    TForm3 *form3_ = nullptr;

    StatusStrip *Panel19;
    CountersPanel *counters_;
    QTabWidget *PageControl1 = nullptr;
    ActiveConnectionsGrid *DBGrid1 = nullptr;
    SettingsPage *settings_ = nullptr;
    NewsPage *news_ = nullptr;
    int settingsIndex_ = 0;
    QAction *N2 = nullptr;
    QAction *N5 = nullptr;
    bool startUpScheduled_ = false;
    bool startServers_ = false;
    bool restartRequested_ = false;
    int exitStatus_ = 0;
};
