#include "port/RemoteAddress.h"

#include <QFile>
#include <QRegularExpression>

namespace remoteport {

QByteArray Address::Key() const
{
    return (kind == Kind::Rfc2217 ? "rfc2217 " : "tcp ") + host.toLower() + ' ' + QByteArray::number(port);
}

bool LooksLikeUrl(const QByteArray& target)
{
    static const QRegularExpression scheme(QStringLiteral("^[A-Za-z][A-Za-z0-9+.-]*://"));
    return scheme.match(QString::fromLatin1(target)).hasMatch();
}

std::optional<Address> ParseAddress(const QByteArray& url, QString& problem)
{
    static const QRegularExpression pattern(
        QStringLiteral(R"(^(rfc2217|tcp)://(?:\[([0-9A-Fa-f:.]+)\]|([A-Za-z0-9._-]+)):([0-9]{1,5})$)"),
        QRegularExpression::CaseInsensitiveOption);
    const auto match = pattern.match(QString::fromLatin1(url));
    const uint port = match.captured(4).toUInt();
    if (!match.hasMatch() || port == 0 || port > 65535) {
        problem = QFile::decodeName(url)
            + QStringLiteral(": not a remote port; write rfc2217://HOST:PORT or tcp://HOST:PORT");
        return std::nullopt;
    }
    const bool rfc2217 = match.captured(1).compare(QLatin1String("rfc2217"), Qt::CaseInsensitive) == 0;
    const QString host = match.captured(2).isEmpty() ? match.captured(3) : match.captured(2);
    return Address{rfc2217 ? Address::Kind::Rfc2217 : Address::Kind::Tcp, host.toLatin1(), uint16_t(port), url};
}

}
