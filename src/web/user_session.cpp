#include "web/user_session.h"

#include <stdexcept>

TIWUserSession &TIWUserSession::Current()
{
    WebSession *session = WebSession::current();
    TIWUserSession *user = session ? session->dataAs<TIWUserSession>() : nullptr;
    if (!user)
        throw std::logic_error("no web session is being served on this thread");
    return *user;
}

void TIWUserSession::ResetEntry()
{
    OrderState = 0;
    ClientPhone.clear();
    ClientCode = 0;
    ClientPassword.clear();
    OrderNumber = 0;
    DriverCallsign = 0;
    EntryAttempts = 0;
}
