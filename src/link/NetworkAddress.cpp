#include "link/NetworkAddress.h"

namespace vexa {

namespace {

constexpr QLatin1StringView kRawScheme("tcp://");
constexpr QLatin1StringView kRfc2217Scheme("rfc2217://");
constexpr qsizetype kMaxHostLength = 253;

} // namespace

bool NetworkAddress::IsNetworkName(const QString& name) {
    const QString text = name.trimmed();
    return text.startsWith(kRawScheme, Qt::CaseInsensitive) ||
           text.startsWith(kRfc2217Scheme, Qt::CaseInsensitive);
}

std::optional<NetworkAddress> NetworkAddress::Parse(const QString& name) {
    const QString text = name.trimmed();
    NetworkAddress address;
    QString rest;
    if (text.startsWith(kRawScheme, Qt::CaseInsensitive)) {
        rest = text.mid(kRawScheme.size());
    } else if (text.startsWith(kRfc2217Scheme, Qt::CaseInsensitive)) {
        address.protocol = Protocol::Rfc2217;
        rest = text.mid(kRfc2217Scheme.size());
    } else {
        return std::nullopt;
    }
    qsizetype colon = -1;
    if (rest.startsWith(u'[')) {
        const qsizetype close = rest.indexOf(u']');
        if (close < 2 || close + 1 >= rest.size() || rest.at(close + 1) != u':')
            return std::nullopt;
        address.host = rest.mid(1, close - 1);
        colon = close + 1;
    } else {
        colon = rest.lastIndexOf(u':');
        if (colon <= 0 || rest.left(colon).contains(u':'))
            return std::nullopt;
        address.host = rest.left(colon);
    }
    if (address.host.size() > kMaxHostLength || address.host.contains(u'/') || address.host.contains(u' '))
        return std::nullopt;
    const QString portText = rest.mid(colon + 1);
    if (portText.isEmpty() || portText.size() > 5)
        return std::nullopt;
    for (const QChar c : portText)
        if (c < u'0' || c > u'9')
            return std::nullopt;
    address.port = portText.toInt();
    if (address.port < 1 || address.port > 65535)
        return std::nullopt;
    return address;
}

QString NetworkAddress::ToString() const {
    const QString shownHost = host.contains(u':') ? QStringLiteral("[%1]").arg(host) : host;
    const QLatin1StringView scheme = protocol == Protocol::Raw ? kRawScheme : kRfc2217Scheme;
    return scheme + shownHost + u':' + QString::number(port);
}

} // namespace vexa
