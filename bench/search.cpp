// Figures of Find: a search through the whole received text (the needle is
// not in it, so every character is read) with 50 MB received, forward and
// backward, in each notation, with and without line breaks and stamps.
#include "monitor/ReceivedTexts.h"
#include "monitor/TextSearch.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QRandomGenerator>

#include <cstdio>

namespace {

constexpr qsizetype MB = 1'000'000;
const char* const FormatNames[] = {"Bin", "Hex", "Chr"};

double Milliseconds(const std::function<qsizetype()>& search, qsizetype& found)
{
    QElapsedTimer clock;
    clock.start();
    found = search();
    return double(clock.nsecsElapsed()) / 1e6;
}

}

int main()
{
    QByteArray data(4 * MB, Qt::Uninitialized);
    QRandomGenerator random(42);
    for (char& byte : data)
        byte = char(random.bounded(256));
    const QByteArray bytes = QByteArray::fromHex("DEADBEEF0123");

    for (const int n : {0, 16}) {
        ReceivedTexts texts;
        for (qsizetype done = 0; done < 50 * MB; done += 100)
            texts.Append(QByteArrayView(data).sliced(done % (data.size() - 100), 100), n, false, int32_t(done / 1000));
        std::printf("50 MB received, %d bytes per line\n", n);
        for (int format = 0; format < 3; ++format) {
            const NotationText& text = *texts.Text(format);
            const auto slice = [&text](qsizetype from, qsizetype to) { return text.Slice(from, to); };
            const QByteArray needle = textsearch::InNotation(bytes, format);
            qsizetype forward = 0;
            qsizetype backward = 0;
            const double forwardMs = Milliseconds(
                [&] { return textsearch::FindForward(text.Size(), slice, needle, 0); }, forward);
            const double backwardMs = Milliseconds(
                [&] { return textsearch::FindBackward(text.Size(), slice, needle, text.Size()); }, backward);
            qsizetype produced = 0;
            const double produceMs = Milliseconds(
                [&] {
                    for (qsizetype at = 0; at < text.Size(); at += MB)
                        produced += text.Slice(at, at + MB).size();
                    return produced;
                },
                produced);
            std::printf("  %s (%4.0f MB of text): forward %6.0f ms, backward %6.0f ms; producing the text alone %6.0f ms%s\n",
                        FormatNames[format], double(text.Size()) / MB, forwardMs, backwardMs, produceMs,
                        forward < 0 && backward < 0 ? "" : " (found?)");
        }
    }
    return 0;
}
