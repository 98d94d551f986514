// Fuzzes the received-text store against the reference model, which keeps
// every notation's text whole. The input is a script: each step's first byte
// says what happens (bits 0-1: 0 append, 1 append in two-port operation,
// 2 re-break, 3 clear; the rest: the bytes per line), an append's next byte
// its length, then its data. After each step the sizes, lines and the end of
// each text must match; at the end every line and every position.
#include "monitor/ReceivedTexts.h"
#include "support/reference/ReferenceTexts.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace {

void Check(bool condition)
{
    if (!condition)
        std::abort();
}

void CheckShape(const NotationText& text, const LineText& expected)
{
    Check(text.Size() == expected.Size());
    Check(text.LineCount() == expected.LineCount());
    Check(text.LongestLine() == expected.LongestLine());
    const qsizetype from = std::max<qsizetype>(0, expected.Size() - 64);
    Check(text.Slice(from, expected.Size()) == expected.Bytes().mid(from));
}

void CheckEverything(const NotationText& text, const LineText& expected)
{
    Check(text.Whole() == expected.Bytes());
    for (qsizetype line = 0; line < expected.LineCount(); ++line) {
        Check(text.LineStart(line) == expected.LineStart(line));
        Check(text.LineLength(line) == expected.LineLength(line));
    }
    for (qsizetype at = 0; at <= expected.Size(); ++at) {
        Check(text.LineOf(at) == expected.LineOf(at));
        const qsizetype to = std::min(expected.Size(), at + 17);
        Check(text.Slice(at, to) == expected.Bytes().mid(at, to - at));
    }
}

}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    ReceivedTexts model;
    ReferenceTexts reference;
    int32_t stamp = 0;
    for (size_t at = 0; at < size;) {
        const uint8_t step = data[at++];
        const int n = step >> 2;
        switch (step & 3) {
        case 0:
        case 1: {
            const size_t wanted = at < size ? data[at++] % 64 : 0;
            const size_t length = std::min(wanted, size - at);
            const QByteArrayView bytes(reinterpret_cast<const char*>(data + at), qsizetype(length));
            at += length;
            const LineRules rules{n, bool(step & 1)};
            model.Append(bytes, rules, modZEMO::StampMoment{stamp});
            reference.Append(bytes, rules, modZEMO::StampMoment{stamp});
            stamp += 1 + step;
            break;
        }
        case 2:
            model.Reflow(n);
            reference.Reflow(n);
            break;
        case 3:
            model.Clear();
            reference.Clear();
            break;
        }
        for (int format = ReceivedTexts::Bin; format <= ReceivedTexts::Chr; ++format)
            CheckShape(*model.Text(format), reference.Text(format));
    }
    for (int format = ReceivedTexts::Bin; format <= ReceivedTexts::Chr; ++format)
        CheckEverything(*model.Text(format), reference.Text(format));
    return 0;
}
