#include "mobile/java_command.h"

#include "mobile/java_framing.h"

namespace {

bool hasCodeAndPassword(const QByteArray &request)
{
    return !TrimJavaField(JavaField(request, "<CodClient>", "</CodClient>")).isEmpty()
        && !TrimJavaField(JavaField(request, "<CodPass>", "</CodPass>")).isEmpty();
}

}  // namespace

JavaCommand RecogniseJavaCommand(const QByteArray &request, bool loggedIn)
{
    const auto is = [&](const char *tag) { return request == tag; };
    const auto has = [&](const char *tag) { return request.contains(tag); };

    if (is("<OpenSettingServer>"))
        return JavaCommand::OpenSettingServer;
    if (has("</AddUsers>"))
        return JavaCommand::AddUsers;
    if (is("<OpenNews>"))
        return JavaCommand::OpenNews;
    if (has("</ListVul>"))
        return JavaCommand::ListVul;
    if (has("</ListObekt>"))
        return JavaCommand::ListObekt;
    if (has("</PerevirkaActiveZam>"))
        return JavaCommand::PerevirkaActiveZam;
    if (has("</CreateZam>"))
        return JavaCommand::CreateZam;

    if (has("</OpenFormCodZam>") && hasCodeAndPassword(request))
        return JavaCommand::OpenFormCodZam;
    if (!loggedIn)
        return JavaCommand::None;
    if (is("<DateFormCodZam>"))
        return JavaCommand::DateFormCodZam;
    if (is("<CloseFormCodZam>"))
        return JavaCommand::CloseFormCodZam;
    if (is("<ClearMsgFormCodZam>"))
        return JavaCommand::ClearMsgFormCodZam;
    if (has("</SendMsgFormCodZam>"))
        return JavaCommand::SendMsgFormCodZam;
    if (has("</CheckNumZamFormCodZam>"))
        return JavaCommand::CheckNumZamFormCodZam;
    if (is("<OpenListActivZamovl>"))
        return JavaCommand::OpenListActivZamovl;
    if (is("<OpenListArhivZamovl>"))
        return JavaCommand::OpenListArhivZamovl;
    if (has("</CreateZamCodForm>"))
        return JavaCommand::CreateZamCodForm;
    if (has("</RozrahSuma>"))
        return JavaCommand::RozrahSuma;
    return JavaCommand::None;
}
