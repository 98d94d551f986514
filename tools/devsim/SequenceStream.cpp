#include "SequenceStream.h"

namespace devsim {

QByteArray sequenceLine(char tag, quint64 number)
{
    return tag + QByteArray::number(number % 1000000000).rightJustified(9, '0') + "\r\n";
}

QByteArray SequenceSource::take(qsizetype count)
{
    QByteArray out;
    out.reserve(count);
    while (out.size() < count) {
        const QByteArray line = sequenceLine(m_tag, m_line);
        const qsizetype n = std::min(count - out.size(), line.size() - m_offset);
        out.append(line.constData() + m_offset, n);
        m_offset += n;
        if (m_offset == line.size()) {
            m_offset = 0;
            ++m_line;
        }
    }
    m_produced += out.size();
    return out;
}

SequenceChecker::SequenceChecker(char tag, Start start)
    : m_tag(tag), m_synced(start == Start::FromFirst)
{
}

void SequenceChecker::feed(QByteArrayView bytes)
{
    m_bytes += bytes.size();
    for (char c : bytes) {
        m_line += c;
        if (c == '\n' || m_line.size() > SequenceLineSize)
            checkLine();
    }
}

void SequenceChecker::checkLine()
{
    const bool wellFormed = m_line.size() == SequenceLineSize && m_line.startsWith(m_tag)
                            && m_line.endsWith("\r\n");
    bool numeric = false;
    const quint64 number = wellFormed ? m_line.mid(1, 9).toULongLong(&numeric) : 0;
    if (!m_synced) {
        // Until a whole line is seen, partial lines are expected and no fault.
        if (numeric) {
            m_synced = true;
            m_expected = number + 1;
            ++m_goodLines;
        }
    } else if (numeric && number == m_expected % 1000000000) {
        ++m_expected;
        ++m_goodLines;
    } else {
        ++m_faults;
        // After a damaged line the next whole line shows where the stream went on.
        if (numeric)
            m_expected = number + 1;
        else
            m_synced = false;
    }
    m_line.clear();
}

}
