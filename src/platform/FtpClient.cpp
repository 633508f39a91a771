// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pregonar developers
#include "platform/FtpClient.h"

namespace {

bool isHostNameChar(QChar c) {
    // Non-ASCII letters stay allowed: libcurl converts international names itself.
    return c.isLetterOrNumber() || c == u'-' || c == u'.' || c == u'_';
}

bool isIpv6Char(QChar c) {
    return (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F') || c == u':' ||
           c == u'.';
}

std::optional<quint16> parsePort(QStringView text) {
    bool ok = false;
    const uint port = text.toUInt(&ok, 10);
    if (!ok || port == 0 || port > 65535 || text.startsWith(u'+'))
        return std::nullopt;
    return quint16(port);
}

} // namespace

std::optional<FtpServerAddress> parseFtpServer(const QString& text) {
    QStringView rest = QStringView(text).trimmed();
    // People paste the address from a browser bar now and then.
    if (rest.startsWith(u"ftp://", Qt::CaseInsensitive))
        rest = rest.mid(6);
    if (rest.endsWith(u'/'))
        rest.chop(1);
    if (rest.isEmpty())
        return std::nullopt;

    FtpServerAddress address;
    QStringView portText;
    if (rest.startsWith(u'[')) {
        const qsizetype close = rest.indexOf(u']');
        if (close < 0)
            return std::nullopt;
        address.host = rest.mid(1, close - 1).toString();
        const QStringView after = rest.mid(close + 1);
        if (!after.isEmpty()) {
            if (!after.startsWith(u':'))
                return std::nullopt;
            portText = after.mid(1);
            if (portText.isEmpty())
                return std::nullopt;
        }
        if (!address.host.contains(u':'))
            return std::nullopt;
    } else if (rest.count(u':') > 1) {
        address.host = rest.toString(); // a bare IPv6 literal cannot carry a port
    } else {
        const qsizetype colon = rest.indexOf(u':');
        address.host = (colon < 0 ? rest : rest.left(colon)).toString();
        if (colon >= 0) {
            portText = rest.mid(colon + 1);
            if (portText.isEmpty())
                return std::nullopt;
        }
    }

    if (address.host.isEmpty())
        return std::nullopt;
    const bool v6 = address.host.contains(u':');
    for (QChar c : address.host) {
        if (v6 ? !isIpv6Char(c) : !isHostNameChar(c))
            return std::nullopt;
    }
    if (!portText.isEmpty()) {
        const auto port = parsePort(portText);
        if (!port)
            return std::nullopt;
        address.port = *port;
    }
    return address;
}
