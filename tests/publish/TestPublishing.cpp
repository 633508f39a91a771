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
    void intervalFollowsReloadTime_data() {
        QTest::addColumn<QString>("item");
        QTest::addColumn<int>("interval");
        QTest::addRow("5 s") << "5 Segundos" << 3000;
        QTest::addRow("7 s") << "7 Segundos" << 5000;
        QTest::addRow("8 s") << "8 Segundos" << 5000;
        QTest::addRow("40 s") << "40 Segundos" << 37000;
        QTest::addRow("60 s") << "60 Segundos" << 57000;
    }
    void intervalFollowsReloadTime() {
        QFETCH(QString, item);
        QFETCH(int, interval);
        QVERIFY(reloadItems().contains(item));
        QCOMPARE(uploadInterval(leadingNumber(item)), interval);
    }

    void gallerySizes() {
        QCOMPARE(leadingNumber(galleryItems().first()), 0); // DESACTIVADO
        QCOMPARE(leadingNumber(QStringLiteral("150 Fotos")), 150);
        QCOMPARE(galleryName(QStringLiteral("casa"), 7), QStringLiteral("casa-007.jpg"));
        QCOMPARE(galleryName(QStringLiteral("casa"), 150), QStringLiteral("casa-150.jpg"));
    }

    void galleryRotation_data() {
        QTest::addColumn<int>("startCounter");
        QTest::addColumn<int>("size");
        QTest::addColumn<QStringList>("snapshots");
        QTest::addColumn<QList<int>>("numbers"); // 0: not published to the gallery
        QStringList eleven;
        QList<int> wrapped;
        for (int i = 1; i <= 11; ++i) {
            eleven << QStringLiteral("Fotos/%1.jpg").arg(i);
            wrapped << (i == 11 ? 1 : i);
        }
        QTest::addRow("eleventh at 10 is 001") << 0 << 10 << eleven << wrapped;
        QTest::addRow("same snapshot once")
            << 0 << 10 << QStringList{"a", "a", "b", "b"} << QList<int>{1, 0, 2, 0};
        QTest::addRow("gallery off") << 4 << 0 << QStringList{"a", "b"} << QList<int>{0, 0};
        QTest::addRow("restored counter goes on") << 6 << 10 << QStringList{"a"} << QList<int>{7};
        QTest::addRow("counter of a larger gallery") << 150 << 20 << QStringList{"a"} << QList<int>{1};
    }
    void galleryRotation() {
        QFETCH(int, startCounter);
        QFETCH(int, size);
        QFETCH(QStringList, snapshots);
        QFETCH(QList<int>, numbers);
        GalleryRotation rotation{startCounter, {}};
        QList<int> got;
        for (const QString& name : snapshots)
            got << rotation.next(name, size).value_or(0);
        QCOMPARE(got, numbers);
    }

    // What ACEPTAR refuses: what the settings file cannot hold, and page names that would name a
    // file outside the working folder or the login folder.
    void accountProblem_data() {
        QTest::addColumn<QString>("password");
        QTest::addColumn<QString>("page");
        QTest::addColumn<QString>("message"); // a part of it; empty: accepted
        const QString page = QStringLiteral("\"Archivo HTML\"");
        QTest::addRow("unstorable character") << "clave\u0142"
                                              << "casa"
                                              << "\"Contraseña\" contiene el carácter \"\u0142\"";
        QTest::addRow("surrogate pair") << "clave"
                                        << "casa\U0001F600"
                                        << "carácter \"\U0001F600\"";
        QTest::addRow("euro sign is stored") << "clave\u20ac"
                                             << "casa"
                                             << "";
        QTest::addRow("empty page") << "clave"
                                    << "" << page;
        QTest::addRow("blank page") << "clave"
                                    << "   " << page;
        QTest::addRow("slash") << "clave"
                               << "web/casa" << page;
        QTest::addRow("backslash") << "clave"
                                   << "web\\casa" << page;
        QTest::addRow("dot dot") << "clave"
                                 << "..casa" << page;
        QTest::addRow("control character") << "clave"
                                           << "ca\tsa" << page;
        QTest::addRow("a plain name") << "clave"
                                      << " mi casa.v2 "
                                      << "";
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
        QTest::addColumn<bool>("shopOwned");
        QTest::addRow("written by Pregonar") << false;
        QTest::addRow("the shop's own") << true;
    }
    void pagesFollowSettingsUnlessShopOwned() {
        QFETCH(bool, shopOwned);
        QTemporaryDir dir;
        const auto read = [&](const char* name) {
            QFile file(dir.filePath(QString::fromLatin1(name)));
            return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
        };
        QVERIFY(WebPages::writePages(dir.path(), QStringLiteral("casa"), 8, 0));
        QVERIFY(read("casa.html").contains("}, 8000);"));
        QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("casa-gi.html")))); // no gallery
        QVERIFY(WebPages::writePages(dir.path(), QStringLiteral("casa"), 8, 10));
        QCOMPARE(read("casa-gi.html").count("<img src="), 10);
        const QByteArray own("<p>la p\xc3\xa1gina de la tienda</p>");
        if (shopOwned) {
            for (const char* name : {"casa.html", "casa-gi.html"}) {
                QFile file(dir.filePath(QString::fromLatin1(name)));
                QVERIFY(file.open(QIODevice::WriteOnly) && file.write(own) == own.size());
            }
        }

        QVERIFY(WebPages::writePages(dir.path(), QStringLiteral("casa"), 15, 20));
        if (shopOwned) {
            QCOMPARE(read("casa.html"), own);
            QCOMPARE(read("casa-gi.html"), own);
        } else {
            QCOMPARE(read("casa.html"), WebPages::livePage(QStringLiteral("casa"), 15, true).toUtf8());
            QCOMPARE(read("casa-gi.html").count("<img src="), 20);
        }
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files).size(), 2); // no temporary file left
        QVERIFY(!WebPages::writePages(dir.path(), QStringLiteral("no/existe"), 8, 0));
    }

    void pagesNameTheirPictures_data() {
        QTest::addColumn<QString>("pageName");
        QTest::addColumn<QString>("picture"); // as the page's src attribute must name it
        QTest::addRow("plain") << "casa"
                               << "casa.jpg";
        QTest::addRow("quotes and spaces") << "a\"b c"
                                           << "a%22b%20c.jpg";
    }
    void pagesNameTheirPictures() {
        QFETCH(QString, pageName);
        QFETCH(QString, picture);
        const QString live = WebPages::livePage(pageName, 15, true);
        QVERIFY(live.startsWith(QStringLiteral("<!DOCTYPE html>")));
        QVERIFY(live.contains(QStringLiteral("name=\"viewport\"")));
        QVERIFY(live.contains(QStringLiteral("src=\"%1\"").arg(picture)));
        QVERIFY(live.contains(QStringLiteral("}, 15000);")));     // the picture reloads every 15 s
        QVERIFY(live.contains(QStringLiteral("content=\"15\""))); // the page itself without scripts
        QVERIFY(!live.contains(QRegularExpression(QStringLiteral("=\"[^\"]*\"[^ >]")))); // no broken quote

        const QString gallery = WebPages::galleryPage(pageName, 10);
        QCOMPARE(gallery.count(QStringLiteral("<img src=")), 10);
        QVERIFY(
            gallery.contains(QString(picture).replace(QStringLiteral(".jpg"), QStringLiteral("-010.jpg"))));
        QVERIFY(gallery.contains(QStringLiteral("b.fecha - a.fecha"))); // newest first
    }
};

QTEST_GUILESS_MAIN(TestPublishing)
#include "TestPublishing.moc"
