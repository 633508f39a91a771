// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pregonar developers
#include "platform/FtpClient.h"

#include <QTest>

class TestFtpAddress : public QObject {
    Q_OBJECT
private slots:
    void parse_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("url"); // host and port as they go into the URL; empty: refused

        QTest::addRow("name") << QString("ftp.tienda.es") << "ftp.tienda.es:21";
        QTest::addRow("name and port") << QString("ftp.tienda.es:2121") << "ftp.tienda.es:2121";
        QTest::addRow("spaces around") << QString("  192.168.1.10:21 ") << "192.168.1.10:21";
        QTest::addRow("pasted url") << QString("ftp://ftp.tienda.es/") << "ftp.tienda.es:21";
        QTest::addRow("ipv6 with port") << QString("[::1]:2121") << "[::1]:2121";
        QTest::addRow("ipv6 in brackets") << QString("[fe80::1]") << "[fe80::1]:21";
        QTest::addRow("bare ipv6") << QString("2001:db8::7") << "[2001:db8::7]:21";
        QTest::addRow("international name") << QString("ftp.españa.es") << "ftp.españa.es:21";

        QTest::addRow("empty") << QString("") << "";
        QTest::addRow("blank") << QString("   ") << "";
        QTest::addRow("port zero") << QString("host:0") << "";
        QTest::addRow("port too big") << QString("host:65536") << "";
        QTest::addRow("port not a number") << QString("host:ftp") << "";
        QTest::addRow("colon without port") << QString("host:") << "";
        QTest::addRow("user in address") << QString("yo@host") << "";
        QTest::addRow("path") << QString("host/carpeta") << "";
        QTest::addRow("space inside") << QString("mi host") << "";
        QTest::addRow("unclosed bracket") << QString("[::1:21") << "";
        QTest::addRow("bracketed name") << QString("[host]:21") << "";
        QTest::addRow("garbage after bracket") << QString("[::1]x") << "";
        QTest::addRow("zone id") << QString("[fe80::1%eth0]") << "";
    }

    void parse() {
        QFETCH(QString, text);
        QFETCH(QString, url);
        const auto address = parseFtpServer(text);
        QCOMPARE(address ? address->urlHost() + u':' + QString::number(address->port) : QString(), url);
    }
};

QTEST_GUILESS_MAIN(TestFtpAddress)
#include "TestFtpAddress.moc"
