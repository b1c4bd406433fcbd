#pragma once

#include <QDialog>

class AccountCounters;
class AdvertSchedulePage;
class QLabel;
class QListWidget;
class QStackedWidget;
class ServiceContext;

// TForm3: a borderless window on top of the operator window, one page at a time:
// the advert schedule, the creation of the service database, the account counters.
class TForm3 : public QDialog {
    Q_OBJECT
public:
    enum class Page { Reklama, CreateTableBaza, Licilnik };

    explicit TForm3(ServiceContext &context, QWidget *parent = nullptr);

    // Shows the window on `page`; the schedule page opens on the whole table.
    void showPage(Page page);
    Page currentPage() const;

    // Start-up creates the service database while this page is up.
    void showCreationPage();
    void addCreationProgress(const QStringList &lines);
    QStringList creationProgress() const;

    void refreshCounters();
    AdvertSchedulePage *schedulePage() const { return schedule_; }

protected:
    void hideEvent(QHideEvent *event) override;

private:
    QWidget *reklamaPage();
    QWidget *creationPage();
    QWidget *countersPage();
    QWidget *heading(const QString &text);
    QWidget *closeButton(const char *name);

    AccountCounters &counters_;
    QStackedWidget *pages_;
    AdvertSchedulePage *schedule_;
    QListWidget *progress_ = nullptr;
    QLabel *startTime_ = nullptr;
    QLabel *scans_ = nullptr;
    QLabel *quickEntries_ = nullptr;
    QLabel *quickLast_ = nullptr;
    QLabel *codedEntries_ = nullptr;
    QLabel *codedLast_ = nullptr;
    QLabel *newsEntries_ = nullptr;
    QLabel *newsLast_ = nullptr;
};
