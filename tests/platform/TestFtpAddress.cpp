// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pregonar developers
#include "platform/FtpClient.h"

#include <QTest>

class TestFtpAddress : public QObject {
    Q_OBJECT
private slots:
    void parse_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("valid");
        QTest::addColumn<QString>("urlHost");
        QTest::addColumn<int>("port");

        QTest::addRow("name") << "ftp.tienda.es" << true << "ftp.tienda.es" << 21;
        QTest::addRow("name and port") << "ftp.tienda.es:2121" << true << "ftp.tienda.es" << 2121;
        QTest::addRow("spaces around") << "  192.168.1.10:21 " << true << "192.168.1.10" << 21;
        QTest::addRow("pasted url") << "ftp://ftp.tienda.es/" << true << "ftp.tienda.es" << 21;
        QTest::addRow("ipv6 with port") << "[::1]:2121" << true << "[::1]" << 2121;
        QTest::addRow("ipv6 in brackets") << "[fe80::1]" << true << "[fe80::1]" << 21;
        QTest::addRow("bare ipv6") << "2001:db8::7" << true << "[2001:db8::7]" << 21;
        QTest::addRow("international name") << "ftp.españa.es" << true << "ftp.españa.es" << 21;

        QTest::addRow("empty") << "" << false << "" << 0;
        QTest::addRow("blank") << "   " << false << "" << 0;
        QTest::addRow("port zero") << "host:0" << false << "" << 0;
        QTest::addRow("port too big") << "host:65536" << false << "" << 0;
        QTest::addRow("port not a number") << "host:ftp" << false << "" << 0;
        QTest::addRow("colon without port") << "host:" << false << "" << 0;
        QTest::addRow("user in address") << "yo@host" << false << "" << 0;
        QTest::addRow("path") << "host/carpeta" << false << "" << 0;
        QTest::addRow("space inside") << "mi host" << false << "" << 0;
        QTest::addRow("unclosed bracket") << "[::1:21" << false << "" << 0;
        QTest::addRow("bracketed name") << "[host]:21" << false << "" << 0;
        QTest::addRow("garbage after bracket") << "[::1]x" << false << "" << 0;
        QTest::addRow("zone id") << "[fe80::1%eth0]" << false << "" << 0;
    }

    void parse() {
        QFETCH(QString, text);
        QFETCH(bool, valid);
        const auto address = parseFtpServer(text);
        QCOMPARE(address.has_value(), valid);
        if (!valid)
            return;
        QFETCH(QString, urlHost);
        QFETCH(int, port);
        QCOMPARE(address->urlHost(), urlHost);
        QCOMPARE(int(address->port), port);
    }
};

QTEST_GUILESS_MAIN(TestFtpAddress)
#include "TestFtpAddress.moc"
