#pragma once

#include "shell/client_search.h"
#include "shell/clients_table.h"
#include "shell/ui/folding_panel.h"

#include <QWidget>

#include <array>

class OperatorGrid;
class QCheckBox;
class QComboBox;
class QDateEdit;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTimeEdit;
class ServiceContext;

// The page "TABL_KLIENT" of the clients table window: the grid of accounts, the search
// panel with its six filters and the edit panel. The work is ClientsTable's.
class ClientsPage : public QWidget {
    Q_OBJECT
public:
    explicit ClientsPage(ServiceContext &context, QWidget *parent = nullptr);

    ClientsTable &logic() { return logic_; }
    OperatorGrid *grid() const { return grid_; }
    // "Експорт в Exel ...", shown above the grid beside the window's close button.
    QPushButton *exportButton() const { return SpeedButton9; }

    void FormShow();
    void FormClose();
    // The accounts whose code or telephone contains the search's text, by that filter alone.
    void showClients(const ClientSearch &search);

private:
    QWidget *buildStrip();
    QWidget *buildSearch();
    QWidget *buildEdit();
    ClientFilters filters() const;
    // Enter in a combo box, or a choice of ban: that filter ticked for one search.
    void quickSearch(ClientColumn column);
    void showSelection(const ClientSelection &s);
    void showBanPickers(bool shown);

    ClientsTable logic_;
    OperatorGrid *grid_;
    FoldingPanel *searchPanel_ = nullptr;
    FoldingPanel *editPanel_ = nullptr;
    Accordion panels_;
    QPushButton *SpeedButton9;
    std::array<QCheckBox *, kClientColumnCount> checks_{};
    std::array<QComboBox *, kClientColumnCount> combos_{};
    QLabel *code_ = nullptr;
    QLineEdit *Edit1 = nullptr;  // password
    QLineEdit *Edit2 = nullptr;  // telephone
    QCheckBox *CheckBox1 = nullptr;  // "Заблокований  /  активний"
    QDateEdit *DateTimePicker1 = nullptr;
    QTimeEdit *DateTimePicker2 = nullptr;
    QPlainTextEdit *Memo1 = nullptr;  // personal message
    QPlainTextEdit *Memo2 = nullptr;  // additional data
};
