#include "common/text64.h"
#include "mobile/java_framing.h"

#include <gtest/gtest.h>

namespace {

std::vector<QByteArray> takeAll(QByteArray &buffer)
{
    std::vector<QByteArray> requests;
    while (std::optional<QByteArray> request = TakeJavaRequest(buffer))
        requests.push_back(*request);
    return requests;
}

TEST(JavaFraming, SplitsRequestsAtTheTerminatorAndKeepsTheRest)
{
    QByteArray buffer = "<OpenSettingServer>###<OpenNews>###<OpenSett";
    EXPECT_EQ(takeAll(buffer), (std::vector<QByteArray>{"<OpenSettingServer>", "<OpenNews>"}));
    EXPECT_EQ(buffer, QByteArray("<OpenSett"));

    buffer += "ingServer>##";
    EXPECT_TRUE(takeAll(buffer).empty());
    buffer += "#";
    EXPECT_EQ(takeAll(buffer), (std::vector<QByteArray>{"<OpenSettingServer>"}));
    EXPECT_TRUE(buffer.isEmpty());
}

TEST(JavaFraming, EmptyRequestsAreDroppedAndExtraHashesBeginTheNextRequest)
{
    QByteArray buffer = "######<a>####";
    EXPECT_EQ(takeAll(buffer), (std::vector<QByteArray>{"<a>"}));
    EXPECT_EQ(buffer, QByteArray("#"));
    buffer += "##<b>###";
    EXPECT_EQ(takeAll(buffer), (std::vector<QByteArray>{"<b>"}));

    // A flood of them is gone in one call, and what follows it is kept.
    buffer = QByteArray(3 * 100000, '#') + "<c";
    EXPECT_EQ(TakeJavaRequest(buffer), std::nullopt);
    EXPECT_EQ(buffer, QByteArray("<c"));
}

TEST(JavaFraming, FieldsAreTrimmedOfEveryControlCharacter)
{
    EXPECT_EQ(TrimJavaField(QByteArray("\x01\t 17 \x1f\r\n")), QByteArray("17"));
    EXPECT_EQ(TrimJavaField(QByteArray(" \x7f ")), QByteArray("\x7f"));
    EXPECT_EQ(TrimJavaField(QByteArray("\x05\x10")), QByteArray());
}

TEST(JavaFraming, FieldsAreReadBetweenTheFirstOccurrencesOfTheirTags)
{
    const QByteArray request = "<CodClient>17</CodClient><CodClient>18</CodClient></OpenFormCodZam>";
    EXPECT_EQ(JavaField(request, "<CodClient>", "</CodClient>"), QByteArray("17"));
    EXPECT_EQ(JavaField("</CodClient><CodClient>17", "<CodClient>", "</CodClient>"), QByteArray());
    EXPECT_EQ(JavaField("<CodClient>17", "<CodClient>", "</CodClient>"), QByteArray());
}

TEST(JavaFraming, ErrorsJoinInTheirOrderInsideOneBase64Element)
{
    EXPECT_EQ(JavaErrorElement({}), QByteArray("<Error></Error>"));
    const QString joined = JoinJavaErrors({QStringLiteral("[a]"), QStringLiteral("[b]")});
    EXPECT_EQ(joined, QStringLiteral("[a]\r[b]"));
    EXPECT_EQ(JoinJavaErrors({QStringLiteral("<a>"), QStringLiteral("<b>")}, QStringLiteral("\r/")),
              QStringLiteral("<a>\r/<b>"));
    EXPECT_EQ(JavaErrorElement(joined), "<Error>" + EncodeText64(joined) + "</Error>");
}

}  // namespace
