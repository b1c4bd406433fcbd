#pragma once

#include "web/framework/controls.h"
#include "web/framework/web_page.h"

#include <QStringList>

class ServiceContext;

// The registration page ("Реєстрація у web системі"): a client who holds a code of
// the dispatch service applies for a web account. An application that passes the
// checks against the dispatchers' clients and the service's own tables becomes a
// request in TABLE_ZAYAVKA, which the operator turns into an account.
class TForm_Reestracya : public WebPage {
public:
    static constexpr const char *kName = "Form_Reestracya";
    explicit TForm_Reestracya(WebSession &session);

    void IWAppFormCreate();
    void IWButton1Click();

    WebRegion RegionTop{*this, QStringLiteral("RegionTop")};
    WebImageButton IWImageButton1{*this, QStringLiteral("IWImageButton1"), &RegionTop};
    WebLink IWLink1{*this, QStringLiteral("IWLink1"), &RegionTop};
    WebLabel IWLabel2{*this, QStringLiteral("IWLabel2")};
    WebText IWText1{*this, QStringLiteral("IWText1")};
    WebLabel IWLabel4{*this, QStringLiteral("IWLabel4")};

    WebRegion RegionForm{*this, QStringLiteral("RegionForm")};
    WebLabel IWLabel5{*this, QStringLiteral("IWLabel5"), &RegionForm};
    WebEdit IWEdit1{*this, QStringLiteral("IWEdit1"), &RegionForm};
    WebLabel IWLabel7{*this, QStringLiteral("IWLabel7"), &RegionForm};
    WebLabel IWLabel6{*this, QStringLiteral("IWLabel6"), &RegionForm};
    WebEdit IWEdit2{*this, QStringLiteral("IWEdit2"), &RegionForm};
    WebLabel IWLabel8{*this, QStringLiteral("IWLabel8"), &RegionForm};
    WebLabel IWLabel3{*this, QStringLiteral("IWLabel3"), &RegionForm};
    WebEdit IWEdit3{*this, QStringLiteral("IWEdit3"), &RegionForm};
    WebLabel IWLabel9{*this, QStringLiteral("IWLabel9"), &RegionForm};
    WebLabel IWLabel10{*this, QStringLiteral("IWLabel10"), &RegionForm};
    WebMemo IWMemo1{*this, QStringLiteral("IWMemo1"), &RegionForm};
    WebButton IWButton1{*this, QStringLiteral("IWButton1"), &RegionForm};

    WebLabel IWLabel1{*this, QStringLiteral("IWLabel1")};

private:
    // The fields left empty or too short; the database is not asked about such a form.
    QStringList missingFields() const;
    // The code against the dispatchers' clients, the accounts and the waiting requests.
    QStringList existingRecords();
    void refuse(const QStringList &errors);
    void submit();
    QString submittedData() const;

    ServiceContext &context_;
};
