#pragma once

#include "web/address_panel.h"
#include "web/framework/controls.h"
#include "web/order_options.h"
#include "web/framework/web_page.h"

#include <QDateTime>
#include <QStringList>

#include <optional>

class ServiceContext;
class TIWUserSession;

// The quick order page ("Швидке замовлення"): a pickup point, extras and a contact
// telephone, with no destination and no fare. A submission that passes the checks
// turns the page into a progress log that follows the order in the dispatchers'
// tables on the page timer until they close or delete it.
class TSpeedOrder : public WebPage {
public:
    static constexpr const char *kName = "SpeedOrder";
    explicit TSpeedOrder(WebSession &session);

    void IWAppFormCreate();
    void IWButton1Click();
    void IWTimer1Timer();

    // The checks of a submission, in order; each failing one gives its item.
    QStringList Validate(const QDateTime &now);

    WebRegion RegionTop{*this, QStringLiteral("RegionTop")};
    WebImageButton IWImageButton1{*this, QStringLiteral("IWImageButton1"), &RegionTop};
    WebLink IWLink1{*this, QStringLiteral("IWLink1"), &RegionTop};
    WebText IWText1{*this, QStringLiteral("IWText1")};

    WebRegion IWRegion2{*this, QStringLiteral("IWRegion2")};
    WebLabel IWLabel2{*this, QStringLiteral("IWLabel2"), &IWRegion2};
    WebLabel IWLabel3{*this, QStringLiteral("IWLabel3"), &IWRegion2};
    WebEdit IWEdit1{*this, QStringLiteral("IWEdit1"), &IWRegion2};
    WebImageButton IWImageButton2{*this, QStringLiteral("IWImageButton2"), &IWRegion2};
    WebLabel IWLabel5{*this, QStringLiteral("IWLabel5"), &IWRegion2};
    WebComboBox IWComboBox1{*this, QStringLiteral("IWComboBox1"), &IWRegion2};
    WebComboBox IWListbox1{*this, QStringLiteral("IWListbox1"), &IWRegion2};
    WebLabel IWLabel7{*this, QStringLiteral("IWLabel7"), &IWRegion2};
    WebComboBox IWComboBox2{*this, QStringLiteral("IWComboBox2"), &IWRegion2};
    WebEdit IWEdit2{*this, QStringLiteral("IWEdit2"), &IWRegion2};
    WebLabel IWLabel8{*this, QStringLiteral("IWLabel8"), &IWRegion2};
    WebEdit IWEdit3{*this, QStringLiteral("IWEdit3"), &IWRegion2};
    WebLabel IWLabel9{*this, QStringLiteral("IWLabel9"), &IWRegion2};
    WebMemo IWMemo1{*this, QStringLiteral("IWMemo1"), &IWRegion2};

    WebRegion IWRegion3{*this, QStringLiteral("IWRegion3")};
    WebLabel IWLabel10{*this, QStringLiteral("IWLabel10"), &IWRegion3};
    WebLabel IWLabel11{*this, QStringLiteral("IWLabel11"), &IWRegion3};
    WebLabel IWLabel4{*this, QStringLiteral("IWLabel4"), &IWRegion3};
    WebCheckBox IWCheckBox5{*this, QStringLiteral("IWCheckBox5"), &IWRegion3};
    WebCheckBox IWCheckBox2{*this, QStringLiteral("IWCheckBox2"), &IWRegion3};
    WebCheckBox IWCheckBox4{*this, QStringLiteral("IWCheckBox4"), &IWRegion3};
    WebCheckBox IWCheckBox6{*this, QStringLiteral("IWCheckBox6"), &IWRegion3};
    WebLabel IWLabel12{*this, QStringLiteral("IWLabel12"), &IWRegion3};
    WebEdit IWEdit4{*this, QStringLiteral("IWEdit4"), &IWRegion3};
    WebCheckBox IWCheckBox3{*this, QStringLiteral("IWCheckBox3"), &IWRegion3};
    WebEdit IWEdit10{*this, QStringLiteral("IWEdit10"), &IWRegion3};
    WebCheckBox IWCheckBox1{*this, QStringLiteral("IWCheckBox1"), &IWRegion3};
    WebLabel IWLabel13{*this, QStringLiteral("IWLabel13"), &IWRegion3};
    WebEdit IWEdit5{*this, QStringLiteral("IWEdit5"), &IWRegion3};
    WebLabel IWLabel14{*this, QStringLiteral("IWLabel14"), &IWRegion3};
    WebEdit IWEdit6{*this, QStringLiteral("IWEdit6"), &IWRegion3};
    WebEdit IWEdit7{*this, QStringLiteral("IWEdit7"), &IWRegion3};

    WebRegion IWRegion4{*this, QStringLiteral("IWRegion4")};
    WebLabel IWLabel15{*this, QStringLiteral("IWLabel15"), &IWRegion4};
    WebEdit IWEdit8{*this, QStringLiteral("IWEdit8"), &IWRegion4};
    WebLabel IWLabel17{*this, QStringLiteral("IWLabel17"), &IWRegion4};
    WebLabel IWLabel16{*this, QStringLiteral("IWLabel16"), &IWRegion4};
    WebEdit IWEdit9{*this, QStringLiteral("IWEdit9"), &IWRegion4};
    WebLabel IWLabel6{*this, QStringLiteral("IWLabel6"), &IWRegion4};
    WebButton IWButton1{*this, QStringLiteral("IWButton1"), &IWRegion4};
    WebTimer IWTimer1{*this, QStringLiteral("IWTimer1"), &IWRegion4};

    WebLabel IWLabel1{*this, QStringLiteral("IWLabel1")};

    AddressPanel Address;
    OrderOptions Options;

private:
    void addLine(const QString &line);
    void endWithPhoneHint();
    void stopAtCode(const QStringList &lines);
    // Steps of a submission; false when it stops there.
    bool checkCode();
    bool checkTelephone();
    void createOrder(TIWUserSession &user, const QDateTime &now);
    void submit();
    // The designed failure of an order: the message, and the page starts again.
    void orderFailed();
    // One timer tick of the tracking; a database failure is thrown.
    void followOrder(TIWUserSession &user);
    // The order is closed or deleted: the page goes.
    void stopFollowing(TIWUserSession &user);
    QString firmTelephone() const;

    ServiceContext &context_;
    bool dispatchLost_ = false;  // a tick could not read the order, and it was said
};
