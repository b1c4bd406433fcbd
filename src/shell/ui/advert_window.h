#pragma once

#include <QDialog>

class AccountCounters;
class QLabel;
class QListWidget;
class QStackedWidget;

// TForm3: a borderless window on top of the operator window, one page at a time:
// the advert schedule, the creation of the service database, the account counters.
class TForm3 : public QDialog {
    Q_OBJECT
public:
    enum class Page { Reklama, CreateTableBaza, Licilnik };

    explicit TForm3(AccountCounters &counters, QWidget *parent = nullptr);

    void showPage(Page page);
    Page currentPage() const;

    // Start-up creates the service database while this page is up.
    void showCreationPage();
    void addCreationProgress(const QStringList &lines);
    QStringList creationProgress() const;

    void refreshCounters();

private:
    QWidget *reklamaPage();
    QWidget *creationPage();
    QWidget *countersPage();
    QWidget *heading(const QString &text);
    QWidget *closeButton(const char *name);

    AccountCounters &counters_;
    QStackedWidget *pages_;
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
