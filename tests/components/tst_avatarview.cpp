#include "CameraPhoto.h"
#include "NetworkManager.h"
#include "PickedPhotoReader.h"
#include "PictureLoader.h"
#include "QmlScreen.h"
#include "QmlSnippet.h"
#include "ScriptedResponder.h"
#include "TaskOutcome.h"
#include "User.h"

#include <QBuffer>
#include <QImage>
#include <QImageReader>
#include <QNetworkAccessManager>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

// The avatar's picture states and its online dot, on the real QML component.
class TestAvatarView : public QObject
{
    Q_OBJECT

private:
    // One avatar at (100, 100), and as many more of the same address as the root's "more" says.
    static QByteArray avatarQml(const QString &urlExpression, qreal size, bool online)
    {
        return QStringLiteral(
                   "import QtQuick\nimport Vorlane\nItem { width: 390; height: 844; property int more: 0\n"
                   "AvatarView { objectName: \"avatar\"; x: 100; y: 100; urlString: %1; size: %2; "
                   "isOnline: %3 }\nRow { y: 300; Repeater { model: more; AvatarView { urlString: %1 } } } }")
            .arg(urlExpression)
            .arg(size)
            .arg(online ? "true" : "false")
            .toUtf8();
    }

    static QString quoted(const QString &text) { return QLatin1Char('"') + text + QLatin1Char('"'); }

    static QByteArray encoded(const QImage &image, const char *format)
    {
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        return image.save(&buffer, format) ? bytes : QByteArray();
    }

    static void checkState(QmlSnippet &screen, const QString &expected)
    {
        QQuickItem *avatar = screen.find<QQuickItem>(QStringLiteral("avatar"));
        QVERIFY(avatar);
        QTRY_COMPARE(avatar->property("pictureState").toString(), expected);
        auto *fallback = screen.find<QQuickItem>(QStringLiteral("avatarFallback"));
        auto *placeholder = screen.find<QQuickItem>(QStringLiteral("avatarPlaceholder"));
        auto *image = screen.find<QQuickItem>(QStringLiteral("avatarImage"));
        QVERIFY(fallback && placeholder && image);
        QCOMPARE(fallback->isVisible(), expected == QLatin1String("fallback"));
        QCOMPARE(placeholder->isVisible(), expected == QLatin1String("placeholder"));
        QCOMPARE(image->isVisible(), expected == QLatin1String("image"));
        if (expected == QLatin1String("fallback")) {
            QCOMPARE(fallback->property("color").value<QColor>(), QColor(QStringLiteral("#007AFF")));
            QCOMPARE(fallback->opacity(), 0.6);
        }
        if (expected == QLatin1String("placeholder")) {
            QCOMPARE(placeholder->property("color").value<QColor>(), QColor(QStringLiteral("#8E8E93")));
            QCOMPARE(placeholder->opacity(), 0.4);
        }
    }

private Q_SLOTS:
    void unusableAddressesShowTheBlueSymbol_data()
    {
        QTest::addColumn<QString>("expression");
        QTest::newRow("no address") << QStringLiteral("null");
        QTest::newRow("undefined") << QStringLiteral("undefined");
        QTest::newRow("empty text") << quoted(QString());
        QTest::newRow("text with spaces") << quoted(QStringLiteral("http://exa mple.com/a.png"));
    }
    void unusableAddressesShowTheBlueSymbol()
    {
        QFETCH(QString, expression);
        QmlSnippet screen(avatarQml(expression, 44, false));
        QVERIFY2(screen.isReady(), qPrintable(screen.errors()));
        checkState(screen, QStringLiteral("fallback"));
        QQuickItem *avatar = screen.find<QQuickItem>(QStringLiteral("avatar"));
        QCOMPARE(avatar->width(), 44.0);
        QCOMPARE(avatar->height(), 44.0);
    }

    void greySymbolWhileLoadingAndAfterAFailedLoad()
    {
        ScriptedResponder responder;
        responder.replyNothing();
        QmlSnippet screen(avatarQml(quoted(responder.baseUrl() + QStringLiteral("/avatar.png")), 44, false));
        QVERIFY2(screen.isReady(), qPrintable(screen.errors()));
        QVERIFY(responder.waitForRequests(1));
        checkState(screen, QStringLiteral("placeholder"));

        // Not an image: the grey symbol stays for good.
        QVERIFY(responder.answerWaiting(200, "not a png", "image/png"));
        auto *image = screen.find<QQuickItem>(QStringLiteral("avatarImage"));
        QTRY_COMPARE(image->property("status").toInt(), 3); // RoundedImage.Error
        checkState(screen, QStringLiteral("placeholder"));
    }

    // One download however many avatars show the address; avatars made once it is held (a card
    // scrolled back into view) show it at once, without another.
    void loadedPictureFillsTheCircleAndIsShared()
    {
        ScriptedResponder responder;
        QImage red(120, 60, QImage::Format_RGB32);
        red.fill(Qt::red);
        QmlSnippet screen(avatarQml(quoted(responder.servePicture(red)), 60, false));
        QVERIFY2(screen.isReady(), qPrintable(screen.errors()));
        screen.root()->setProperty("more", 3);
        checkState(screen, QStringLiteral("image"));

        const QImage shot = screen.window()->grabWindow();
        // The centre is the picture; the square's corner lies outside the circle.
        QCOMPARE(QColor(shot.pixel(130, 130)), QColor(Qt::red));
        QVERIFY(QColor(shot.pixel(101, 101)) != QColor(Qt::red));

        screen.root()->setProperty("more", 0);
        screen.root()->setProperty("more", 5);
        QList<QQuickItem *> items{screen.root()};
        int ready = 0;
        while (!items.isEmpty()) {
            QQuickItem *item = items.takeLast();
            items += item->childItems();
            ready += item->objectName() == QLatin1String("avatarImage") && item->property("status").toInt() == 2;
        }
        QCOMPARE(ready, 6); // RoundedImage.Ready at once
        QCOMPARE(responder.requests().size(), 1);
    }

    // A failed load is no verdict on the address: the next showing of the avatar (its screen shown
    // again, the address given again, the avatar made again) asks once more, and a picture had by
    // then stays without another download.
    void failedPictureLoadsAgainWhenShownAgain_data()
    {
        QTest::addColumn<QString>("showing");
        QTest::newRow("screen shown again") << QStringLiteral("shown");
        QTest::newRow("address given again") << QStringLiteral("address");
        QTest::newRow("avatar made again") << QStringLiteral("made");
        QTest::newRow("list loaded again, rows kept") << QStringLiteral("reloaded");
    }
    void failedPictureLoadsAgainWhenShownAgain()
    {
        QFETCH(QString, showing);
        ScriptedResponder responder;
        responder.reply(503, "down", "text/plain");
        QImage red(60, 60, QImage::Format_RGB32);
        red.fill(Qt::red);
        const QString address = responder.servePicture(red);
        QmlSnippet screen(avatarQml(quoted(address), 60, false));
        QVERIFY2(screen.isReady(), qPrintable(screen.errors()));
        auto *image = screen.find<QQuickItem>(QStringLiteral("avatarImage"));
        QTRY_COMPARE(image->property("status").toInt(), 3); // RoundedImage.Error
        checkState(screen, QStringLiteral("placeholder"));
        QCOMPARE(responder.requests().size(), 1);

        QQuickItem *shownAgain = image;
        if (showing == QLatin1String("shown")) {
            screen.root()->setVisible(false);
            screen.root()->setVisible(true);
        } else if (showing == QLatin1String("address")) {
            // As a binding does when what it reads changed but gives the same address.
            image->setProperty("source", QUrl(address));
        } else if (showing == QLatin1String("reloaded")) {
            // The service answers a read again; the rows bound to it stay as they were.
            ScriptedResponder service;
            service.reply(200, "[]");
            NetworkManager::shared().setBaseURL(service.baseUrl());
            QVERIFY(runToEnd(NetworkManager::shared().fetch(QStringLiteral("music.php"))).value);
        } else {
            screen.root()->setProperty("more", 1);
            QList<QQuickItem *> items{screen.root()};
            while (!items.isEmpty() && shownAgain == image) {
                QQuickItem *item = items.takeLast();
                items += item->childItems();
                if (item->objectName() == QLatin1String("avatarImage") && item != image)
                    shownAgain = item;
            }
            QVERIFY(shownAgain != image);
        }
        QTRY_COMPARE(shownAgain->property("status").toInt(), 2); // RoundedImage.Ready
        QCOMPARE(responder.requests().size(), 2);
        QCOMPARE(QColor(screen.window()->grabWindow().pixel(130, 130)) == QColor(Qt::red),
                 showing != QLatin1String("made"));

        // Had now, the picture stays through the next showings without another download (a load
        // begun would show Loading at once).
        screen.root()->setVisible(false);
        screen.root()->setVisible(true);
        shownAgain->setProperty("source", QUrl(address));
        QCOMPARE(shownAgain->property("status").toInt(), 2);
        QCOMPARE(responder.requests().size(), 2);
    }

    // Addresses members store are untrusted: only a web picture within the size cap loads; the
    // rest show the grey symbol as an unloadable address does, and nothing local is ever read
    // (a FIFO would block the window for good).
    void hostilePicturesShowTheGreySymbol_data()
    {
        QTest::addColumn<QByteArray>("served");
        QTest::addColumn<QString>("address"); // "%1" stands for the responder's base, "%2" for a folder
        const QByteArray png = "HTTP/1.1 200 OK\r\nContent-Type: image/png\r\n";
        QTest::newRow("endless picture") << png + "Connection: close\r\n\r\n"
                                         << "%1/endless.png";
        QTest::newRow("picture over the cap")
            << png + "Content-Length: " + QByteArray::number(PictureLoader::maxPictureSize + 1) + "\r\n\r\n"
            << "%1/huge.png";
        QTest::newRow("redirect to a local file")
            << QByteArray("HTTP/1.1 302 Found\r\nLocation: file://%2/face.png\r\nContent-Length: 0\r\n\r\n")
            << "%1/moved.png";
        QTest::newRow("file picture") << QByteArray() << "file://%2/face.png";
        QTest::newRow("FIFO") << QByteArray() << "file://%2/fifo";
        QTest::newRow("bare path to a FIFO") << QByteArray() << "%2/fifo";
        QTest::newRow("resource") << QByteArray() << "qrc:/Vorlane/icons/person.crop.circle.fill.svg";
    }
    void hostilePicturesShowTheGreySymbol()
    {
        QFETCH(QByteArray, served);
        QFETCH(QString, address);
        QTemporaryDir dir;
        QFile face(dir.filePath(QStringLiteral("face.png")));
        QVERIFY(QImage(8, 8, QImage::Format_RGB32).save(face.fileName()));
        QCOMPARE(mkfifo(QFile::encodeName(dir.filePath(QStringLiteral("fifo"))).constData(), 0600), 0);
        ScriptedResponder responder;
        // A picture body without end; the redirect has none.
        if (!served.isEmpty())
            responder.replyStreamed(served.replace("%2", dir.path().toUtf8()), served.contains("302") ? 0 : -1);

        address.replace(QStringLiteral("%1"), responder.baseUrl()).replace(QStringLiteral("%2"), dir.path());
        QmlSnippet screen(avatarQml(quoted(address), 44, false));
        QVERIFY2(screen.isReady(), qPrintable(screen.errors()));
        auto *image = screen.find<QQuickItem>(QStringLiteral("avatarImage"));
        QTRY_COMPARE(image->property("status").toInt(), 3); // RoundedImage.Error
        checkState(screen, QStringLiteral("placeholder"));
        QCOMPARE(responder.requests().size(), served.isEmpty() ? 0 : 1);
        // Qt stopped reading near the cap instead of taking whatever was offered.
        QVERIFY2(responder.bytesSent() < PictureLoader::maxPictureSize + 24 * 1024 * 1024,
                 qPrintable(QString::number(responder.bytesSent())));
    }

    // A picture from the network never makes the decoder allocate more than 128 MiB, worked out
    // from its header, so a few hundred kilobytes of picture cannot take a gigabyte. A plain PNG,
    // whatever its depth, and a baseline JPEG, at an eighth of its size, are read row by row and
    // show at any size their header claims.
    void networkPicturesKeepQtsOwnDecodeBound_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QSize>("loaded"); // invalid: refused
        const QByteArray flatJpeg = encoded(CameraPhoto::draw({600, 400}, false), "JPG");
        QByteArray claimed = flatJpeg;
        const qsizetype frame = claimed.indexOf("\xff\xc0");
        QVERIFY(frame > 0);
        // Height, then width, after the marker, its length and its precision.
        claimed[frame + 5] = claimed[frame + 7] = char(60000 >> 8);
        claimed[frame + 6] = claimed[frame + 8] = char(60000 & 0xff);
        QImage deep(4200, 4200, QImage::Format_RGBA64);
        deep.fill(Qt::darkCyan);
        QTest::newRow("PNG decoding to 100 MB")
            << encoded(CameraPhoto::draw({5000, 5000}, false), "PNG") << QSize(512, 512);
        QTest::newRow("PNG of 144 MB, read row by row")
            << encoded(CameraPhoto::draw({6000, 6000}, false), "PNG") << QSize(512, 512);
        QTest::newRow("16-bit PNG of 141 MB, read row by row") << encoded(deep, "PNG") << QSize(512, 512);
        QTest::newRow("JPEG of 144 MB, scaled while decoding")
            << encoded(CameraPhoto::draw({6000, 6000}, false), "JPG") << QSize(512, 512);
        QTest::newRow("JPEG claiming 60,000 pixels a side") << claimed << QSize(512, 512);
    }
    void networkPicturesKeepQtsOwnDecodeBound()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QSize, loaded);
        QVERIFY(!bytes.isEmpty() && bytes.size() < PictureLoader::maxPictureSize);
        ScriptedResponder responder;
        responder.reply(200, bytes, "image/png");
        QNetworkAccessManager network;
        std::optional<QImage> received;
        PictureLoader::of(&network)->request(QUrl(responder.baseUrl() + QStringLiteral("/picture")), this,
                                             [&received](const QImage &image) { received = image; });
        QTRY_VERIFY(received.has_value());
        QCOMPARE(received->isNull(), !loaded.isValid());
        if (loaded.isValid())
            QCOMPARE(received->size(), loaded);
    }

    void onlineDotSize_data()
    {
        QTest::addColumn<qreal>("size");
        QTest::addColumn<qreal>("diameter");
        QTest::newRow("36") << 36.0 << 12.0;
        QTest::newRow("default 44") << 44.0 << 12.32;
        QTest::newRow("84") << 84.0 << 23.52;
    }
    void onlineDotSize()
    {
        QFETCH(qreal, size);
        QFETCH(qreal, diameter);
        QmlSnippet screen(avatarQml(QStringLiteral("null"), size, true));
        QVERIFY2(screen.isReady(), qPrintable(screen.errors()));
        auto *dot = screen.find<QQuickItem>(QStringLiteral("onlineDot"));
        QVERIFY(dot && dot->isVisible());
        QCOMPARE(dot->width(), diameter);
        QCOMPARE(dot->height(), diameter);
        // Overhangs the bottom-trailing corner by 2.
        QCOMPARE(dot->x() + dot->width(), size + 2);
        QCOMPARE(dot->y() + dot->height(), size + 2);
        QVERIFY(dot->z() > 1);
    }

    // Made from a user: the address and the online flag come from the record, at the default size.
    void userFormTakesAddressAndOnlineState_data()
    {
        QTest::addColumn<User>("user");
        QTest::addColumn<bool>("dot");
        QTest::newRow("online, no address: blue symbol and dot") << User{.id = 1, .isOnline = true} << true;
        QTest::newRow("offline, empty address: blue symbol, no dot")
            << User{.id = 2, .avatarUrl = QString(), .isOnline = false} << false;
    }
    void userFormTakesAddressAndOnlineState()
    {
        QFETCH(User, user);
        QFETCH(bool, dot);
        QmlScreen screen(QStringLiteral("AvatarView.qml"), {{QStringLiteral("user"), QVariant::fromValue(user)}});
        QVERIFY2(screen.isReady(), qPrintable(screen.errors()));
        QCOMPARE(screen.root()->property("size").toReal(), 44.0);
        QCOMPARE(screen.root()->property("pictureState").toString(), QStringLiteral("fallback"));
        QCOMPARE(screen.find(QStringLiteral("onlineDot"))->isVisible(), dot);
    }
};

QTEST_MAIN(TestAvatarView)
#include "tst_avatarview.moc"
