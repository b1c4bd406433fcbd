#pragma once

#include "web/framework/web_session.h"

#include <QString>

// The per-session object of the web front end, created for every new session
// before anything else and freed with it.
class TIWUserSession : public SessionData {
public:
    QString ClientPhone;
    qint32 ClientCode = 0;
    QString ClientPassword;
    qint32 OrderNumber = 0;
    qint32 OrderState = 0;
    qint32 DriverCallsign = 0;
    qint32 EntryAttempts = 0;  // logins, quick-order submissions, registration attempts
    QString ClientIP;
    QString ClientCodeText;
    qint32 CalcAttemptsLeft = 0;

    // The object of the session the calling request thread serves.
    static TIWUserSession &Current();

    // What the main page and the quick order page forget when they are made: the order
    // followed, the client's telephone, code and password, the entry attempts.
    void ResetEntry();
};

// A session nobody uses for a login or a followed order: one that may end when its page
// is left, or make room for another of its address.
inline bool SessionUnused(const WebSession &session)
{
    const TIWUserSession *user = session.dataAs<TIWUserSession>();
    return user && user->ClientCode == 0 && user->OrderNumber == 0;
}
