#pragma once

#include "web/address_panel.h"
#include "web/framework/controls.h"
#include "web/framework/web_page.h"
#include "web/order_options.h"

#include <QDateTime>
#include <QStringList>

#include <optional>

class ServiceContext;
class TIWUserSession;

// The coded order page ("Кодовані клієнти"): the working place of a client with a
// code and a web account. The client panel shows the client's data from the
// dispatchers' database; a side menu switches between five panels: active orders,
// the archive, a new order with its fare, messages and help. The page lives as long
// as the session; its timer keeps the counters and the visible panel current.
//
// Its handlers are spread by job: building the page and the client panel here,
// the new order and fare in coded_new_order.cpp, the tables, messages and the timer
// in coded_order_panels.cpp.
class TForm_KodovaneZamov : public WebPage {
public:
    static constexpr const char *kName = "Form_KodovaneZamov";
    explicit TForm_KodovaneZamov(WebSession &session);

    void IWAppFormCreate();
    // The side menu.
    void IWImageButton1Click();
    void IWImageButton3Click();
    void IWImageButton4Click();
    void IWImageButton5Click();
    void IWImageButton6Click();
    // The new order panel.
    void IWImageButton11Click();
    void IWImageButton12Click();
    void IWImageButton13Click();
    void IWComboBox5Change();
    void IWComboBox6Change();
    void IWImageButton8Click();
    void IWImageButton9Click();
    void IWCheckBox7Click();
    void IWImageButton7Click();
    // The messages panel and the timer.
    void IWButton7Click();
    void IWButton1Click();
    void IWButton2Click();
    void IWTimer1Timer();

    // The client's counters from the dispatchers' client row.
    void RefreshCounters();
    void FillActiveOrders();
    // `told`: a click of the client's, who is told when the dates make no range.
    void FillArchive(bool told);
    void LoadPersonalMessage();

    WebRegion IWRegion1{*this, QStringLiteral("IWRegion1")};
    WebLink IWLink1{*this, QStringLiteral("IWLink1"), &IWRegion1};
    WebLabel IWLabel54{*this, QStringLiteral("IWLabel54"), &IWRegion1};

    WebRegion IWRegion3{*this, QStringLiteral("IWRegion3")};
    WebLabel IWLabel2{*this, QStringLiteral("IWLabel2"), &IWRegion3};
    WebLabel IWLabel13{*this, QStringLiteral("IWLabel13"), &IWRegion3};
    WebLabel IWLabel3{*this, QStringLiteral("IWLabel3"), &IWRegion3};
    WebLabel IWLabel14{*this, QStringLiteral("IWLabel14"), &IWRegion3};
    WebLabel IWLabel4{*this, QStringLiteral("IWLabel4"), &IWRegion3};
    WebLabel IWLabel15{*this, QStringLiteral("IWLabel15"), &IWRegion3};
    WebLabel IWLabel5{*this, QStringLiteral("IWLabel5"), &IWRegion3};
    WebLabel IWLabel16{*this, QStringLiteral("IWLabel16"), &IWRegion3};
    WebLabel IWLabel7{*this, QStringLiteral("IWLabel7"), &IWRegion3};
    WebLabel IWLabel17{*this, QStringLiteral("IWLabel17"), &IWRegion3};
    WebLabel IWLabel8{*this, QStringLiteral("IWLabel8"), &IWRegion3};
    WebLabel IWLabel18{*this, QStringLiteral("IWLabel18"), &IWRegion3};
    WebLabel IWLabel10{*this, QStringLiteral("IWLabel10"), &IWRegion3};
    WebLabel IWLabel19{*this, QStringLiteral("IWLabel19"), &IWRegion3};
    WebLabel IWLabel12{*this, QStringLiteral("IWLabel12"), &IWRegion3};
    WebLabel IWLabel20{*this, QStringLiteral("IWLabel20"), &IWRegion3};
    WebText IWText1{*this, QStringLiteral("IWText1")};

    WebRegion IWRegion5{*this, QStringLiteral("IWRegion5")};  // side menu and content side by side
    WebRegion IWRegion7{*this, QStringLiteral("IWRegion7"), &IWRegion5};
    WebImageButton IWImageButton1{*this, QStringLiteral("IWImageButton1"), &IWRegion7};
    WebLabel IWLabel28{*this, QStringLiteral("IWLabel28"), &IWRegion7};
    WebImageButton IWImageButton3{*this, QStringLiteral("IWImageButton3"), &IWRegion7};
    WebLabel IWLabel29{*this, QStringLiteral("IWLabel29"), &IWRegion7};
    WebImageButton IWImageButton4{*this, QStringLiteral("IWImageButton4"), &IWRegion7};
    WebLabel IWLabel32{*this, QStringLiteral("IWLabel32"), &IWRegion7};
    WebImageButton IWImageButton5{*this, QStringLiteral("IWImageButton5"), &IWRegion7};
    WebLabel IWLabel35{*this, QStringLiteral("IWLabel35"), &IWRegion7};
    WebImageButton IWImageButton6{*this, QStringLiteral("IWImageButton6"), &IWRegion7};
    WebLabel IWLabel36{*this, QStringLiteral("IWLabel36"), &IWRegion7};

    WebRegion IWRegion8{*this, QStringLiteral("IWRegion8"), &IWRegion5};
    // Active orders.
    WebRegion IWRegion9{*this, QStringLiteral("IWRegion9"), &IWRegion8};
    WebGrid IWGrid1{*this, QStringLiteral("IWGrid1"), &IWRegion9};
    // Archive.
    WebRegion IWRegion10{*this, QStringLiteral("IWRegion10"), &IWRegion8};
    WebLabel IWLabel23{*this, QStringLiteral("IWLabel23"), &IWRegion10};
    WebComboBox IWComboBox7{*this, QStringLiteral("IWComboBox7"), &IWRegion10};
    WebLabel IWLabel27{*this, QStringLiteral("IWLabel27"), &IWRegion10};
    WebComboBox IWComboBox8{*this, QStringLiteral("IWComboBox8"), &IWRegion10};
    WebGrid IWGrid2{*this, QStringLiteral("IWGrid2"), &IWRegion10};
    // New order: the upper part, then the tabs.
    WebRegion IWRegion11{*this, QStringLiteral("IWRegion11"), &IWRegion8};
    WebRegion IWRegion4{*this, QStringLiteral("IWRegion4"), &IWRegion11};
    WebLabel IWLabel26{*this, QStringLiteral("IWLabel26"), &IWRegion4};
    WebImageButton IWImageButton8{*this, QStringLiteral("IWImageButton8"), &IWRegion4};
    WebLabel IWLabel24{*this, QStringLiteral("IWLabel24"), &IWRegion4};
    WebLabel IWLabel51{*this, QStringLiteral("IWLabel51"), &IWRegion4};
    WebImageButton IWImageButton11{*this, QStringLiteral("IWImageButton11"), &IWRegion4};
    WebComboBox IWComboBox5{*this, QStringLiteral("IWComboBox5"), &IWRegion4};
    WebLabel IWLabel41{*this, QStringLiteral("IWLabel41"), &IWRegion4};
    WebLabel IWLabel25{*this, QStringLiteral("IWLabel25"), &IWRegion4};
    WebLabel IWLabel52{*this, QStringLiteral("IWLabel52"), &IWRegion4};
    WebImageButton IWImageButton12{*this, QStringLiteral("IWImageButton12"), &IWRegion4};
    WebImageButton IWImageButton13{*this, QStringLiteral("IWImageButton13"), &IWRegion4};
    WebComboBox IWComboBox6{*this, QStringLiteral("IWComboBox6"), &IWRegion4};
    WebLabel IWLabel53{*this, QStringLiteral("IWLabel53"), &IWRegion4};
    WebLabel IWLabel30{*this, QStringLiteral("IWLabel30"), &IWRegion4};
    WebLabel IWLabel38{*this, QStringLiteral("IWLabel38"), &IWRegion4};
    WebLabel IWLabel37{*this, QStringLiteral("IWLabel37"), &IWRegion4};
    WebLabel IWLabel31{*this, QStringLiteral("IWLabel31"), &IWRegion4};
    WebLabel IWLabel39{*this, QStringLiteral("IWLabel39"), &IWRegion4};
    WebImageButton IWImageButton9{*this, QStringLiteral("IWImageButton9"), &IWRegion4};
    WebLabel IWLabel55{*this, QStringLiteral("IWLabel55"), &IWRegion4};

    WebTabControl IWTabControl2{*this, QStringLiteral("IWTabControl2"), &IWRegion11};
    WebRegion IWTabControl2Page0{*this, QStringLiteral("IWTabControl2Page0"), &IWTabControl2};
    WebLabel IWLabel42{*this, QStringLiteral("IWLabel42"), &IWTabControl2Page0};
    WebEdit IWEdit1{*this, QStringLiteral("IWEdit1"), &IWTabControl2Page0};
    WebImageButton IWImageButton2{*this, QStringLiteral("IWImageButton2"), &IWTabControl2Page0};
    WebLabel IWLabel43{*this, QStringLiteral("IWLabel43"), &IWTabControl2Page0};
    WebComboBox IWComboBox3{*this, QStringLiteral("IWComboBox3"), &IWTabControl2Page0};
    WebComboBox IWListbox1{*this, QStringLiteral("IWListbox1"), &IWTabControl2Page0};
    WebLabel IWLabel44{*this, QStringLiteral("IWLabel44"), &IWTabControl2Page0};
    WebComboBox IWComboBox4{*this, QStringLiteral("IWComboBox4"), &IWTabControl2Page0};
    WebEdit IWEdit8{*this, QStringLiteral("IWEdit8"), &IWTabControl2Page0};
    WebLabel IWLabel45{*this, QStringLiteral("IWLabel45"), &IWTabControl2Page0};
    WebEdit IWEdit3{*this, QStringLiteral("IWEdit3"), &IWTabControl2Page0};
    WebLabel IWLabel46{*this, QStringLiteral("IWLabel46"), &IWTabControl2Page0};
    WebMemo IWMemo5{*this, QStringLiteral("IWMemo5"), &IWTabControl2Page0};

    WebRegion IWTabControl2Page1{*this, QStringLiteral("IWTabControl2Page1"), &IWTabControl2};
    WebCheckBox IWCheckBox5{*this, QStringLiteral("IWCheckBox5"), &IWTabControl2Page1};
    WebCheckBox IWCheckBox2{*this, QStringLiteral("IWCheckBox2"), &IWTabControl2Page1};
    WebCheckBox IWCheckBox4{*this, QStringLiteral("IWCheckBox4"), &IWTabControl2Page1};
    WebCheckBox IWCheckBox6{*this, QStringLiteral("IWCheckBox6"), &IWTabControl2Page1};
    WebLabel IWLabel49{*this, QStringLiteral("IWLabel49"), &IWTabControl2Page1};
    WebEdit IWEdit4{*this, QStringLiteral("IWEdit4"), &IWTabControl2Page1};
    WebCheckBox IWCheckBox3{*this, QStringLiteral("IWCheckBox3"), &IWTabControl2Page1};
    WebEdit IWEdit10{*this, QStringLiteral("IWEdit10"), &IWTabControl2Page1};

    WebRegion IWTabControl2Page2{*this, QStringLiteral("IWTabControl2Page2"), &IWTabControl2};
    WebCheckBox IWCheckBox1{*this, QStringLiteral("IWCheckBox1"), &IWTabControl2Page2};
    WebLabel IWLabel47{*this, QStringLiteral("IWLabel47"), &IWTabControl2Page2};
    WebEdit IWEdit5{*this, QStringLiteral("IWEdit5"), &IWTabControl2Page2};
    WebLabel IWLabel48{*this, QStringLiteral("IWLabel48"), &IWTabControl2Page2};
    WebEdit IWEdit6{*this, QStringLiteral("IWEdit6"), &IWTabControl2Page2};
    WebEdit IWEdit7{*this, QStringLiteral("IWEdit7"), &IWTabControl2Page2};

    WebRegion IWTabControl2Page3{*this, QStringLiteral("IWTabControl2Page3"), &IWTabControl2};
    WebCheckBox IWCheckBox7{*this, QStringLiteral("IWCheckBox7"), &IWTabControl2Page3};
    WebLabel IWLabel50{*this, QStringLiteral("IWLabel50"), &IWTabControl2Page3};
    WebEdit IWEdit2{*this, QStringLiteral("IWEdit2"), &IWTabControl2Page3};
    WebLabel IWLabel40{*this, QStringLiteral("IWLabel40"), &IWTabControl2Page3};
    WebLabel IWLabel56{*this, QStringLiteral("IWLabel56"), &IWTabControl2Page3};

    WebRegion IWTabControl2Page4{*this, QStringLiteral("IWTabControl2Page4"), &IWTabControl2};
    WebImageButton IWImageButton7{*this, QStringLiteral("IWImageButton7"), &IWTabControl2Page4};
    WebLabel IWLabel57{*this, QStringLiteral("IWLabel57"), &IWTabControl2Page4};
    WebLabel IWLabel58{*this, QStringLiteral("IWLabel58"), &IWTabControl2Page4};

    // Messages.
    WebRegion IWRegion12{*this, QStringLiteral("IWRegion12"), &IWRegion8};
    WebLabel IWLabel34{*this, QStringLiteral("IWLabel34"), &IWRegion12};
    WebLabel IWLabel6{*this, QStringLiteral("IWLabel6"), &IWRegion12};
    WebMemo IWMemo1{*this, QStringLiteral("IWMemo1"), &IWRegion12};
    WebButton IWButton7{*this, QStringLiteral("IWButton7"), &IWRegion12};
    WebButton IWButton1{*this, QStringLiteral("IWButton1"), &IWRegion12};
    WebLabel IWLabel9{*this, QStringLiteral("IWLabel9"), &IWRegion12};
    WebLabel IWLabel22{*this, QStringLiteral("IWLabel22"), &IWRegion12};
    WebMemo IWMemo2{*this, QStringLiteral("IWMemo2"), &IWRegion12};
    WebLabel IWLabel21{*this, QStringLiteral("IWLabel21"), &IWRegion12};
    WebComboBox IWComboBox2{*this, QStringLiteral("IWComboBox2"), &IWRegion12};
    WebLabel IWLabel11{*this, QStringLiteral("IWLabel11"), &IWRegion12};
    WebComboBox IWComboBox1{*this, QStringLiteral("IWComboBox1"), &IWRegion12};
    WebButton IWButton2{*this, QStringLiteral("IWButton2"), &IWRegion12};
    // Help.
    WebRegion IWRegion13{*this, QStringLiteral("IWRegion13"), &IWRegion8};
    WebLabel IWLabel33{*this, QStringLiteral("IWLabel33"), &IWRegion13};
    WebText IWText2{*this, QStringLiteral("IWText2"), &IWRegion13};

    WebTimer IWTimer1{*this, QStringLiteral("IWTimer1")};
    WebLabel IWLabel1{*this, QStringLiteral("IWLabel1")};

    AddressPanel Address;
    OrderOptions Options;

private:
    void setUpControls();
    void showPanel(WebRegion &panel);
    void greet(const QString &birthDate);
    void fillArchiveAddresses();
    void fillArchiveDates();
    void moveSessionEnd();
    // The new order panel.
    QString zeroTripFare() const;
    void resetFare();
    bool startSet() const;
    bool endSet() const;
    void pointFromAddressPanel(WebLabel &value, const QString &which);
    void pointFromArchive(WebComboBox &archive, WebLabel &value);
    QString jubileeRefusal();
    void resetNewOrderPanel();
    QDateTime closingTime(const QDateTime &orderTime) const;
    void createOrders(int cars);

    ServiceContext &context_;
};
