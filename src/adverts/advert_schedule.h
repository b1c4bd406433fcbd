#pragma once

#include "shell/sql_filter.h"

#include <QDate>
#include <QMetaType>
#include <QObject>
#include <QString>
#include <QStringList>

#include <optional>

class ServiceContext;

// The checked criteria of the schedule window's search panel.
struct AdvertCriteria {
    bool byActivity = false;
    bool active = false;  // "Активно / не активно"
    bool byName = false;
    QString name;
    bool byDate = false;
    QDate from, to;
    bool byPicture = false;
    QString picture;
    bool bySite = false;
    QString site;
    bool byText = false;
    QString text;
};

// The WHERE clause of the checked criteria, in the window's order; empty when none is checked.
SqlFilter BuildAdvertFilter(const AdvertCriteria &criteria, const ColumnWidths &widths);

// The edit panel's fields: what the operator writes, or the current row copied in.
struct AdvertFields {
    bool active = false;
    QString name;
    QDate date;
    QString picture, site;
    QString text;  // lines joined by "\n"

    bool operator==(const AdvertFields &) const = default;
};

// The counters panel; each a number or "не задано".
struct AdvertCounters {
    QString selectionTotal, selectionActive;  // "Кількість повідомлень у вибірці"
    QString clientTotal, clientActive;        // "Кількість повідомлень вибраного клієнта"
    QString activeUpToDate;                   // "Кількість активних повідомлень до вибраної дати (включно)"

    bool operator==(const AdvertCounters &) const = default;
};

Q_DECLARE_METATYPE(AdvertFields)
Q_DECLARE_METATYPE(AdvertCounters)

// The operator's advert schedule on the page "REKLAMA" of the advert window: the search
// over TABLE_REKLAMA with its kept filter, creating, editing, deleting and expiring
// adverts, and the counters. The rotation on the main page reads the table at every
// page creation, so it follows these changes at once. Runs on the main thread; takes the
// service lock for its database work and never holds it while the operator is asked.
class AdvertSchedule : public QObject {
    Q_OBJECT
public:
    enum class Mode { Create, Edit, Delete };

    explicit AdvertSchedule(ServiceContext &context, QObject *parent = nullptr);

    static QString ActionCaption(Mode mode);  // SpeedButton11's caption

    // Whether the main page rotates this schedule (REKLAMA/OPEN_OBROBKA_REKLAMA): a new
    // advert shows nowhere while it does not, so the window says so and where to switch it on.
    struct RotationNote {
        bool on = false;
        QString text;
    };
    RotationNote rotationNote() const;
    Mode mode() const { return mode_; }
    const AdvertCounters &counters() const { return counters_; }

    void FormCreate();           // clears the filter
    void FormClose();            // closes the dataset
    void SpeedButton13Click();   // "Загальна таблиця": clears the filter
    void SpeedButton12Click(const AdvertCriteria &criteria);  // search
    // The distinct names (ComboBox1, ComboBox2), picture addresses (ComboBox3) or site
    // addresses (ComboBox4) of the table, for a combo box's list.
    enum class List { Names, Pictures, Sites };
    QStringList ComboBoxDropDown(List list);
    void setMode(Mode mode);     // SpeedButton7Click, SpeedButton9Click, SpeedButton10Click
    // Runs on every move of the dataset, its reopening included.
    void GPRS_TABL_REKLAMAAfterScroll();
    void SpeedButton11Click(const AdvertFields &fields);  // the action of the mode
    void SpeedButton5Click();                              // expire

signals:
    void countersChanged(const AdvertCounters &counters);
    // Edit and delete mode: the current row, for the edit fields.
    void rowCopied(const AdvertFields &fields);
    // A new advert went in: name, picture, site and text are to be emptied.
    void created();

private:
    struct Row {
        qint64 number = 0;
        AdvertFields fields;
    };
    std::optional<Row> currentRow();
    void create(const AdvertFields &fields);
    void edit(const AdvertFields &fields);
    void remove();
    void open();  // the grid again with the filter, then its counters
    void selectionCounters();
    // Runs one change, reopens the grid and recounts; false when it failed.
    bool write(const QString &failure, const QString &sql, const fb::Params &params);
    // A reason to refuse writing `fields`, or empty.
    static QString refusal(const AdvertFields &fields);

    ServiceContext &context_;
    SqlFilter filter_;
    Mode mode_ = Mode::Create;
    AdvertCounters counters_;
};
