#pragma once

#include "adverts/advert_schedule.h"
#include "shell/ui/folding_panel.h"

#include <QWidget>

class OperatorGrid;
class QCheckBox;
class QComboBox;
class QDateEdit;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QToolButton;
class ServiceContext;

// The page "REKLAMA" of the advert window: the schedule grid under a tool bar, with the
// search, edit and counters panels as an accordion beside it. The work is AdvertSchedule's.
class AdvertSchedulePage : public QWidget {
    Q_OBJECT
public:
    explicit AdvertSchedulePage(ServiceContext &context, QWidget *parent = nullptr);

    AdvertSchedule &logic() { return logic_; }
    OperatorGrid *grid() const { return grid_; }

    void FormShow();   // the whole table
    void FormClose();  // the dataset closes

signals:
    void closeRequested();  // SpeedButton14

private:
    QWidget *buildToolBar();
    QWidget *buildSearch();
    QWidget *buildEdit();
    QWidget *buildCounters();
    AdvertCriteria criteria() const;
    void setMode(AdvertSchedule::Mode mode);
    void showFields(const AdvertFields &fields);
    void showCounters(const AdvertCounters &counters);
    void showRotation();

    ServiceContext &context_;
    AdvertSchedule logic_;
    OperatorGrid *grid_;
    Accordion panels_;
    FoldingPanel *search_ = nullptr;
    FoldingPanel *edit_ = nullptr;
    FoldingPanel *counters_ = nullptr;
    QLabel *rotation_ = nullptr;  // whether the main page rotates the schedule

    // Search panel.
    QCheckBox *byActivity_ = nullptr;
    QCheckBox *active_ = nullptr;
    QCheckBox *byName_ = nullptr;
    QComboBox *ComboBox2 = nullptr;
    QCheckBox *byDate_ = nullptr;
    QDateEdit *from_ = nullptr;
    QDateEdit *to_ = nullptr;
    QCheckBox *byPicture_ = nullptr;
    QComboBox *ComboBox3 = nullptr;
    QCheckBox *bySite_ = nullptr;
    QComboBox *ComboBox4 = nullptr;
    QCheckBox *byText_ = nullptr;
    QLineEdit *Edit3 = nullptr;

    // Edit panel.
    QToolButton *SpeedButton11 = nullptr;
    QCheckBox *CheckBox1 = nullptr;
    QComboBox *ComboBox1 = nullptr;
    QDateEdit *DateTimePicker1 = nullptr;
    QLineEdit *Edit1 = nullptr;
    QLineEdit *Edit2 = nullptr;
    QPlainTextEdit *Memo1 = nullptr;

    // Counters panel.
    QLabel *selectionTotal_ = nullptr;
    QLabel *selectionActive_ = nullptr;
    QLabel *clientTotal_ = nullptr;
    QLabel *clientActive_ = nullptr;
    QLabel *activeUpToDate_ = nullptr;
};
