#include "web/server_controller.h"

#include "common/metrics.h"
#include "common/service_lock.h"
#include "shell/address_window.h"
#include "shell/service_context.h"
#include "web/order_page_style.h"
#include "web/page_chrome.h"
#include "web/registration_page_style.h"
#include "web/user_session.h"
#include "web/web_activ_rows.h"

#include <QDir>

#include <algorithm>

TIWServerController::TIWServerController(ServiceContext &context, WebApplication &application, QObject *parent)
    : QObject(parent), context_(context), application_(application)
{
    Timer1.setInterval(10000);
    connect(&Timer1, &QTimer::timeout, this, &TIWServerController::Timer1Timer);
    Timer1.start();
}

WebApplication::Config TIWServerController::Configuration(const QString &folder)
{
    WebApplication::Config config;
    config.commandPath = QStringLiteral("zakaz");
    config.filesFolder = QDir(folder).filePath(QStringLiteral("Files"));
    config.timeOutPage = QStringLiteral("TimeOut.html");
    config.idleTimeOut = std::chrono::minutes(10);
    config.bindToAddress = true;
    config.styleSheet = PageChrome::StyleSheet() + OrderPagesStyle() + RegistrationPageStyle();
    return config;
}

void TIWServerController::IWServerControllerBaseNewSession(WebSession &session)
{
    session.data = std::make_unique<TIWUserSession>();
    ServiceLockGuard lock(ServiceLock());
    if (!context_.running())
        return;
    const ServerSettings &s = context_.settings;
    if (!admit(session))
        return;
    const QDateTime now = QDateTime::currentDateTime();
    const QDateTime end =
        now.addSecs(60LL * context_.numbers.read("DOSTUP/MAX_CHAS_NEKODOVANOGO_ZEDN", s.MAX_CHAS_NEKODOVANOGO_ZEDN, 10));
    InsertWebActivRow(context_.danni, session.ip(), session.id(), now, end);
    metrics::Counted().webSessionsOpened.add();  // a session whose row failed never opened
    session.dataAs<TIWUserSession>()->ClientIP = session.ip();
    context_.webLog.event(QStringLiteral("] вхід у web систему клієнта з  IP : ") + session.ip());
}

bool TIWServerController::admit(WebSession &session)
{
    const ServerSettings &s = context_.settings;
    const int capacity = context_.numbers.read("DOSTUP/MAX_KIL_ZEDNAYA", s.MAX_KIL_ZEDNAYA, 1);
    const int share = context_.numbers.read("DOSTUP/MAX_ZEDNAN_Z_ADRESY", s.MAX_ZEDNAN_Z_ADRESY, std::max(2, capacity / 10));
    // Sessions already refused are still listed until their request ends: they hold nothing.
    // An IPv6 client counts by its /64, as for every other per-address limit.
    const QString address = AddressWindow::keyOf(session.ip());
    std::vector<std::shared_ptr<WebSession>> own;
    int live = 0;
    {
        const WebApplication::LockedList list = application_.lockSessionList();
        for (const auto &other : list.sessions()) {
            if (other->terminated())
                continue;
            ++live;
            if (other.get() != &session && AddressWindow::keyOf(other->ip()) == address)
                own.push_back(other);
        }
    }
    // One address holds at most its share: past it its oldest session that nobody uses
    // for an order or a login makes room (a tab left open, a reload), unless a request of
    // it is under way.
    const bool full = share > 0 && int(own.size()) >= share;
    bool overShare = false;
    if (full && live - 1 <= capacity) {
        std::sort(own.begin(), own.end(), [](const auto &a, const auto &b) { return a->lastAccess() < b->lastAccess(); });
        overShare = std::none_of(own.begin(), own.end(),
                                 [&](const auto &other) { return application_.removeIfUnused(other->id(), SessionUnused); });
        if (!overShare)
            --live;
    }
    if (live > capacity || overShare) {
        context_.accounts.addRefusedSession();
        metrics::Counted().refused(overShare ? metrics::SessionRefusal::AddressShare : metrics::SessionRefusal::Limit).add();
        context_.budgets.logCoalesced(ClientChannel::Web, QStringLiteral("session refused"), session.ip(),
                                      QStringLiteral("] сесію web системи клієнту з  IP : %1 не відкрито: %2.")
                                          .arg(session.ip(),
                                               overShare ? QStringLiteral("ця адреса вже має %1 зєднань").arg(share)
                                                         : QStringLiteral("усі %1 дозволених зєднань зайняті").arg(capacity)));
        session.terminate(QStringLiteral("Зєднань більше максимально заданих ! Через деякий час повторіть спробу "
                                         "будь-ласка, або створіть замовлення у телефонноиу режимі (тел. [")
                          + s.TELEFON_FIRMA + QStringLiteral("]) !"));
        return false;
    }
    return true;
}

void TIWServerController::IWServerControllerBaseCloseSession(WebSession &session)
{
    // A session refused at the limit, or opened while stopped, was never admitted: it
    // has no row, and its end costs no database work under the lock.
    const TIWUserSession *user = session.dataAs<TIWUserSession>();
    if (!user || user->ClientIP.isEmpty())
        return;
    ServiceLockGuard lock(ServiceLock());
    TDANI &d = context_.danni;
    if (!d.BAZA_GPRS_KLIENT.isOpen())
        return;
    const WebActivRow row = FindWebActivRow(d, session.id());
    if (row.found)
        context_.webLog.event(QStringLiteral("] вихід із web системи  клієнта з   IP:[") + row.ip
                              + QStringLiteral("]    код кл.:[") + row.kod + QStringLiteral("]    вхід у[") + row.vhid
                              + QStringLiteral("]    плановий вихід[") + row.end + u']');
    DeleteWebActivRow(d, session.id());
}

void TIWServerController::Timer1Timer()
{
    ServiceLockGuard lock(ServiceLock());
    TDANI &d = context_.danni;
    if (!d.GPRS_TABL_ACTIV.isOpen() || d.GPRS_TABL_ACTIV.recordCount() < 1)
        return;
    try {
        const QStringList expired = ExpiredActivIds(d, QDateTime::currentDateTime());
        for (const QString &id : expired) {
            QString ip;
            bool found = false;
            {
                const WebApplication::LockedList list = application_.lockSessionList();
                for (const auto &session : list.sessions())
                    if (session->id() == id) {
                        session->showMessage(QStringLiteral("Перевищено ліміт часу праці активної сесії ! При потребі "
                                                            "обновіть головну сторінку."));
                        ip = session->ip();
                        found = true;
                    }
            }
            if (!found)
                continue;
            application_.removeSession(id);
            context_.webLog.event(QStringLiteral("] перевищено ліміт часу праці активної сесії web системи клієнта з  IP : ")
                                  + ip);
        }
        d.TRANZ_GPRS_TIMER.commitIfActive();
        d.RefreshGrid(TDANI::Grid::Activ);
    } catch (const fb::Error &error) {
        context_.webLog.event(QStringLiteral("]: ") + error.text());
    }
}
