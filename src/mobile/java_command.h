#pragma once

#include <QByteArray>

// The requests of the mobile application, in the order the dispatcher tests them.
enum class JavaCommand {
    None,              // unknown, or every match failed its condition: dropped silently
    OpenSettingServer,
    AddUsers,
    OpenNews,
    ListVul,
    ListObekt,
    PerevirkaActiveZam,
    CreateZam,
    OpenFormCodZam,
    DateFormCodZam,
    CloseFormCodZam,
    ClearMsgFormCodZam,
    SendMsgFormCodZam,
    CheckNumZamFormCodZam,
    OpenListActivZamovl,
    OpenListArhivZamovl,
    CreateZamCodForm,
    RozrahSuma,
};

// Which command a request is for a connection that is (or is not) logged in. The
// first seven tests decide at their first match; from the login on, a match whose
// condition fails lets the next tests run as if it had not matched. Comparisons are
// exact and case-sensitive: bare tags must be the whole request, closing tags may
// stand anywhere in it.
JavaCommand RecogniseJavaCommand(const QByteArray &request, bool loggedIn);
