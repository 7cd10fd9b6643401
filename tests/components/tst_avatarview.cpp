#include "QmlScreen.h"
#include "QmlSnippet.h"
#include "User.h"

#include <QImage>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>

// The avatar's picture states and its online dot, on the real QML component.
class TestAvatarView : public QObject
{
    Q_OBJECT

private:
    static QByteArray avatarQml(const QString &urlExpression, qreal size, bool online)
    {
        return QStringLiteral("import QtQuick\nimport Vorlane\nItem { width: 390; height: 844\n"
                              "AvatarView { objectName: \"avatar\"; x: 100; y: 100; urlString: %1; size: %2; "
                              "isOnline: %3 } }")
            .arg(urlExpression)
            .arg(size)
            .arg(online ? "true" : "false")
            .toUtf8();
    }

    static QString quoted(const QString &text) { return QLatin1Char('"') + text + QLatin1Char('"'); }

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
        // A server that accepts the connection and never answers keeps the picture loading.
        QTcpServer server;
        QVERIFY(server.listen(QHostAddress::LocalHost));
        const QString address = QStringLiteral("http://127.0.0.1:%1/avatar.png").arg(server.serverPort());
        QmlSnippet screen(avatarQml(quoted(address), 44, false));
        QVERIFY2(screen.isReady(), qPrintable(screen.errors()));
        QTRY_VERIFY(server.hasPendingConnections() || server.waitForNewConnection(100));
        QTcpSocket *connection = server.nextPendingConnection();
        QVERIFY(connection);
        checkState(screen, QStringLiteral("placeholder"));

        // Not an image: the grey symbol stays for good.
        connection->write("HTTP/1.1 200 OK\r\nContent-Type: image/png\r\nContent-Length: 9\r\n\r\nnot a png");
        connection->flush();
        auto *image = screen.find<QQuickItem>(QStringLiteral("avatarImage"));
        QTRY_COMPARE(image->property("status").toInt(), 3); // RoundedImage.Error
        checkState(screen, QStringLiteral("placeholder"));
    }

    void loadedPictureFillsTheCircle()
    {
        QTemporaryDir dir;
        QImage picture(120, 60, QImage::Format_RGB32);
        picture.fill(Qt::red);
        const QString path = dir.filePath(QStringLiteral("face.png"));
        QVERIFY(picture.save(path));
        QmlSnippet screen(avatarQml(quoted(QUrl::fromLocalFile(path).toString()), 60, false));
        QVERIFY2(screen.isReady(), qPrintable(screen.errors()));
        checkState(screen, QStringLiteral("image"));

        const QImage shot = screen.window()->grabWindow();
        // The centre is the picture; the square's corner lies outside the circle.
        QCOMPARE(QColor(shot.pixel(130, 130)), QColor(Qt::red));
        QVERIFY(QColor(shot.pixel(101, 101)) != QColor(Qt::red));
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
