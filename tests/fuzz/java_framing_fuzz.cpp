// Arbitrary bytes through what the mobile server does with a client's input before
// any database work: cutting the stream into requests, recognising the command, reading
// and trimming fields, and the Base64 forms in both directions.
//
// The suite runs a short, fixed number of inputs. A longer run is one command:
//   build/tests/fuzz/fuzz_java_framing -dict=tests/fuzz/java_protocol.dict -max_total_time=600 /tmp/java-corpus

#include "common/extract_between.h"
#include "common/text64.h"
#include "mobile/java_command.h"
#include "mobile/java_framing.h"

#include <cstdint>
#include <cstdlib>

namespace {

void check(bool condition)
{
    if (!condition)
        std::abort();
}

void fields(const QByteArray &request)
{
    static const char *const tags[][2] = {{"<CodClient>", "</CodClient>"}, {"<CodPass>", "</CodPass>"},
                                          {"<NumPhone>", "</NumPhone>"},   {"<ListVul>", "</ListVul>"},
                                          {"<ListObekt>", "</ListObekt>"}, {"<SendMsgFormCodZam>", "</SendMsgFormCodZam>"}};
    for (const auto &tag : tags) {
        const QByteArray value = JavaField(request, tag[0], tag[1]);
        check(value.size() <= request.size());
        const QByteArray trimmed = TrimJavaField(value);
        check(trimmed.isEmpty() || (quint8(trimmed.front()) > 32 && quint8(trimmed.back()) > 32));
        const QByteArray bytes = DecodeText64Bytes(value);
        check(bytes.size() <= value.size() / 4 * 3);
        const QByteArray encoded = EncodeText64(DecodeText64(value));
        check(DecodeText64(encoded).size() >= 0);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0)
        return 0;
    // The first byte chooses how the rest arrives: in reads of 1 to 256 bytes.
    const size_t chunk = size_t(data[0]) + 1;
    const QByteArray input(reinterpret_cast<const char *>(data + 1), qsizetype(size - 1));

    QByteArray buffer;
    QByteArray joined;
    for (qsizetype at = 0; at < input.size(); at += qsizetype(chunk)) {
        buffer += input.mid(at, qsizetype(chunk));
        while (std::optional<QByteArray> request = TakeJavaRequest(buffer)) {
            check(!request->isEmpty() && !request->contains(kJavaRequestEnd));
            joined += *request + kJavaRequestEnd;
            RecogniseJavaCommand(*request, false);
            RecogniseJavaCommand(*request, true);
            fields(*request);
        }
    }
    // However the bytes arrive, the requests and the rest put together give them back,
    // but for the empty requests.
    QByteArray expected;
    QByteArray rest = input;
    for (qsizetype end = rest.indexOf(kJavaRequestEnd); end >= 0; end = rest.indexOf(kJavaRequestEnd)) {
        if (end > 0)
            expected += rest.left(end) + kJavaRequestEnd;
        rest.remove(0, end + qstrlen(kJavaRequestEnd));
    }
    check(joined == expected && buffer == rest);

    // Any bytes survive the trip through standard Base64.
    check(DecodeText64Bytes(input.toBase64()) == input);
    return 0;
}
