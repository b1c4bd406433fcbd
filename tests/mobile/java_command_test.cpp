#include "mobile/java_command.h"

#include <gtest/gtest.h>

namespace {

using C = JavaCommand;

TEST(RecogniseJavaCommand, EveryRequestOfTheProtocolFindsItsCommand)
{
    const std::pair<const char *, JavaCommand> requests[] = {
        {"<OpenSettingServer>", C::OpenSettingServer},
        {"<CodClient>1</CodClient></AddUsers>", C::AddUsers},
        {"<OpenNews>", C::OpenNews},
        {"<ListVul>0L0=</ListVul>", C::ListVul},
        {"<ListObekt></ListObekt>", C::ListObekt},
        {"<PerevirkaActiveZam>5</PerevirkaActiveZam>", C::PerevirkaActiveZam},
        {"<CreateZam></CreateZam>", C::CreateZam},
        {"<CodClient>7</CodClient><CodPass>p</CodPass></OpenFormCodZam>", C::OpenFormCodZam},
        {"<DateFormCodZam>", C::DateFormCodZam},
        {"<CloseFormCodZam>", C::CloseFormCodZam},
        {"<ClearMsgFormCodZam>", C::ClearMsgFormCodZam},
        {"<SendMsgFormCodZam>eA==</SendMsgFormCodZam>", C::SendMsgFormCodZam},
        {"<CheckNumZamFormCodZam>3</CheckNumZamFormCodZam>", C::CheckNumZamFormCodZam},
        {"<OpenListActivZamovl>", C::OpenListActivZamovl},
        {"<OpenListArhivZamovl>", C::OpenListArhivZamovl},
        {"<CreateZamCodForm></CreateZamCodForm>", C::CreateZamCodForm},
        {"<RozrahSuma></RozrahSuma>", C::RozrahSuma},
    };
    for (const auto &[request, command] : requests)
        EXPECT_EQ(RecogniseJavaCommand(request, true), command) << request;
}

TEST(RecogniseJavaCommand, TheEarlierTestWinsWhenARequestHoldsSeveralTags)
{
    EXPECT_EQ(RecogniseJavaCommand("<ListVul></ListVul></AddUsers>", false), C::AddUsers);
    EXPECT_EQ(RecogniseJavaCommand("</ListObekt></ListVul>", false), C::ListVul);
    EXPECT_EQ(RecogniseJavaCommand("</CreateZam></PerevirkaActiveZam>", false), C::PerevirkaActiveZam);
    EXPECT_EQ(RecogniseJavaCommand("</RozrahSuma></CreateZam>", true), C::CreateZam);
}

TEST(RecogniseJavaCommand, BareTagsMustBeTheWholeRequestExactly)
{
    for (const char *request : {"<OpenNews> ", " <OpenNews>", "<OpenNews>\r\n", "<opennews>", "<OpenNews><OpenNews>",
                                "<OpenSettingServer>x", "<DateFormCodZam> ", ""})
        EXPECT_EQ(RecogniseJavaCommand(request, true), C::None) << request;
}

TEST(RecogniseJavaCommand, CommandsAfterTheLoginNeedALoggedInConnection)
{
    for (const char *request : {"<DateFormCodZam>", "<CloseFormCodZam>", "<ClearMsgFormCodZam>",
                                "</SendMsgFormCodZam>", "</CheckNumZamFormCodZam>", "<OpenListActivZamovl>",
                                "<OpenListArhivZamovl>", "</CreateZamCodForm>", "</RozrahSuma>"})
        EXPECT_EQ(RecogniseJavaCommand(request, false), C::None) << request;
    // The first seven need no login.
    EXPECT_EQ(RecogniseJavaCommand("</CreateZam>", false), C::CreateZam);
}

TEST(RecogniseJavaCommand, ALoginWithoutCodeOrPasswordIsNoLoginAndLaterTestsStillRun)
{
    for (const char *request : {"<CodClient>7</CodClient></OpenFormCodZam>",
                                "<CodClient>7</CodClient><CodPass> \t</CodPass></OpenFormCodZam>",
                                "<CodClient>\r\n</CodClient><CodPass>p</CodPass></OpenFormCodZam>",
                                "<CodPass>p</CodPass><CodClient>7</OpenFormCodZam>"})
        EXPECT_EQ(RecogniseJavaCommand(request, false), C::None) << request;

    const char *loginAndFare = "<CodClient>7</CodClient></OpenFormCodZam></RozrahSuma>";
    EXPECT_EQ(RecogniseJavaCommand(loginAndFare, true), C::RozrahSuma);
    EXPECT_EQ(RecogniseJavaCommand(loginAndFare, false), C::None);
    // A good login wins over what follows it.
    EXPECT_EQ(RecogniseJavaCommand("<CodClient>7</CodClient><CodPass>p</CodPass></OpenFormCodZam></RozrahSuma>",
                                   true),
              C::OpenFormCodZam);
}

}  // namespace
