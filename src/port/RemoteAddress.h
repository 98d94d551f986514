#pragma once

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <optional>

// Where a remote port is: a ports directory entry whose link target is a URL,
// rfc2217://HOST:PORT (a network serial server) or tcp://HOST:PORT (a raw
// byte stream). HOST is a name, an IPv4 address or an IPv6 address in brackets.
namespace remoteport {

struct Address {
    enum class Kind { Rfc2217, Tcp } kind;
    QByteArray host; // without the brackets of an IPv6 address
    uint16_t port;
    QByteArray url;  // as written, for messages and tooltips

    // The same server and port however the URL was written.
    QByteArray Key() const;
};

// Whether a link target is a URL rather than a path; one that is need not
// be valid (ParseAddress says why not).
bool LooksLikeUrl(const QByteArray& target);

// nullopt with problem set to a sentence naming the URL when it is not a
// valid remote port.
std::optional<Address> ParseAddress(const QByteArray& url, QString& problem);

}
