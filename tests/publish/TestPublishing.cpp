// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Pregonar developers
#include "publish/Publishing.h"
#include "publish/WebPages.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

using namespace Publishing;

class TestPublishing : public QObject {
    Q_OBJECT
private slots:
    // What ACEPTAR refuses: what the settings file cannot hold, and page names that would name a
    // file outside the working folder or the login folder.
    void accountProblem_data() {
        QTest::addColumn<QString>("password");
        QTest::addColumn<QString>("page");
        QTest::addColumn<QString>("message"); // a part of it; empty: accepted
        const auto row = [](const char* name, const QString& password, const QString& page,
                            const QString& m) { QTest::newRow(name) << password << page << m; };
        const QString page = QStringLiteral("\"Archivo HTML\"");
        row("unstorable character", "clave\u0142", "casa", "\"Contraseña\" contiene el carácter \"\u0142\"");
        row("surrogate pair", "clave", "casa\U0001F600", "carácter \"\U0001F600\"");
        row("euro sign is stored", "clave\u20ac", "casa", "");
        row("blank page", "clave", "   ", page);
        row("slash", "clave", "web/casa", page);
        row("backslash", "clave", "web\\casa", page);
        row("dot dot", "clave", "..casa", page);
        row("control character", "clave", "ca\tsa", page);
        row("a plain name", "clave", " mi casa.v2 ", "");
    }
    void accountProblem() {
        QFETCH(QString, password);
        QFETCH(QString, page);
        QFETCH(QString, message);
        const QString problem = Publishing::accountProblem({"ftp.tienda.com", "pedro", password, page, 0, 0});
        QCOMPARE(problem.isEmpty(), message.isEmpty());
        QVERIFY2(problem.contains(message), qPrintable(problem));
    }

    // Pages the program wrote follow the settings of each accept; the shop's own pages stay as they are.
    void pagesFollowSettingsUnlessShopOwned_data() {
        QTest::addColumn<QByteArray>("own"); // what the shop put in their place
        QTest::addRow("written by Pregonar") << QByteArray();
        QTest::addRow("the shop's own") << QByteArray("<p>la p\xc3\xa1gina de la tienda</p>");
    }
    void pagesFollowSettingsUnlessShopOwned() {
        QFETCH(QByteArray, own);
        QTemporaryDir dir;
        const auto read = [&](const QString& name) {
            QFile file(dir.filePath(name));
            return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
        };
        const QString live = QStringLiteral("casa.html"), gallery = QStringLiteral("casa-gi.html");
        QVERIFY(WebPages::writePages(dir.path(), QStringLiteral("casa"), 8, 0));
        QVERIFY(read(live).contains("}, 8000);"));
        QVERIFY(!QFile::exists(dir.filePath(gallery))); // no gallery
        QVERIFY(WebPages::writePages(dir.path(), QStringLiteral("casa"), 8, 10));
        QCOMPARE(read(gallery).count("<img src="), 10);
        for (const QString& name : {live, gallery}) {
            QFile file(dir.filePath(name));
            QVERIFY(own.isEmpty() || (file.open(QIODevice::WriteOnly) && file.write(own) == own.size()));
        }

        QVERIFY(WebPages::writePages(dir.path(), QStringLiteral("casa"), 15, 20));
        QCOMPARE(read(live),
                 own.isEmpty() ? WebPages::livePage(QStringLiteral("casa"), 15, true).toUtf8() : own);
        if (own.isEmpty())
            QCOMPARE(read(gallery).count("<img src="), 20);
        else
            QCOMPARE(read(gallery), own);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files).size(), 2); // no temporary file left
        QVERIFY(!WebPages::writePages(dir.path(), QStringLiteral("no/existe"), 8, 0));
    }
    void pagesNameTheirPictures_data() {
        QTest::addColumn<QString>("pageName");
        QTest::addColumn<QString>("picture"); // as the pages' src attributes name it, less ".jpg"
        QTest::addRow("plain") << QStringLiteral("casa") << QStringLiteral("casa");
        QTest::addRow("quotes and spaces") << QStringLiteral("a\"b c") << QStringLiteral("a%22b%20c");
    }
    void pagesNameTheirPictures() {
        QFETCH(QString, pageName);
        QFETCH(QString, picture);
        const QString live = WebPages::livePage(pageName, 15, true);
        QVERIFY(live.startsWith(QStringLiteral("<!DOCTYPE html>")));
        QVERIFY(live.contains(QStringLiteral("name=\"viewport\"")));
        QVERIFY(live.contains(QStringLiteral("src=\"%1.jpg\"").arg(picture)));
        QVERIFY(live.contains(QStringLiteral("}, 15000);")));     // the picture reloads every 15 s
        QVERIFY(live.contains(QStringLiteral("content=\"15\""))); // the page itself without scripts
        QVERIFY(!live.contains(QRegularExpression(QStringLiteral("=\"[^\"]*\"[^ >]")))); // no broken quote

        const QString gallery = WebPages::galleryPage(pageName, 10);
        QCOMPARE(gallery.count(QStringLiteral("<img src=")), 10);
        QVERIFY(gallery.contains(picture + QStringLiteral("-010.jpg")));
        QVERIFY(gallery.contains(QStringLiteral("b.fecha - a.fecha"))); // newest first
    }
};

QTEST_GUILESS_MAIN(TestPublishing)
#include "TestPublishing.moc"
