// Stored passwords: hashes made before the service hashed through OpenSSL still match, and the
// hashes it makes now are the same function of password and salt.
#include "PasswordHash.h"

#include <QPasswordDigestor>
#include <QTest>

namespace {
QByteArray digestorHash(const QString &password, const QByteArray &salt, int iterations)
{
    return QPasswordDigestor::deriveKeyPbkdf2(QCryptographicHash::Sha256, password.toUtf8(), salt, iterations, 32);
}
}

class tst_PasswordHash : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void matchesHashesOfTheEarlierDigestor_data()
    {
        QTest::addColumn<QString>("password");
        QTest::addColumn<QByteArray>("salt");
        QTest::addColumn<int>("iterations");
        QTest::newRow("demo account") << "demo12345" << QByteArray::fromHex("00112233445566778899aabbccddeeff")
                                      << 40000;
        QTest::newRow("Cyrillic and emoji") << "пароль🚀" << QByteArray("sixteen byte slt") << 40000;
        QTest::newRow("longest accepted") << QString(1024, QLatin1Char('x')) << QByteArray(16, '\0') << 40000;
        QTest::newRow("longer than a SHA-256 block")
            << QString(65, QLatin1Char('k')) << QByteArray::fromHex("ffffffffffffffffffffffffffffffff") << 1000;
        QTest::newRow("one iteration") << "a" << QByteArray("salt") << 1;
    }
    void matchesHashesOfTheEarlierDigestor()
    {
        QFETCH(QString, password);
        QFETCH(QByteArray, salt);
        QFETCH(int, iterations);
        const PasswordHash stored{salt, digestorHash(password, salt, iterations), iterations};
        QVERIFY(stored.matches(password));
        QVERIFY(!stored.matches(password + QLatin1Char('!')));
        QVERIFY(!stored.matches(password.toUpper() == password ? password.toLower() : password.toUpper()));
    }

    void makesWhatTheEarlierDigestorWouldHaveMade()
    {
        const QString password = QStringLiteral("Correct-Horse-Battery-Staple");
        const PasswordHash made = PasswordHash::make(password);
        QCOMPARE(made.salt.size(), 16);
        QCOMPARE(made.hash, digestorHash(password, made.salt, made.iterations));
        QVERIFY(PasswordHash::make(password).salt != made.salt);
    }

    void refusesWhatCannotBeChecked_data()
    {
        QTest::addColumn<QByteArray>("salt");
        QTest::addColumn<int>("iterations");
        QTest::newRow("no salt") << QByteArray() << 40000;
        QTest::newRow("no iterations") << QByteArray("salt") << 0;
        QTest::newRow("negative iterations") << QByteArray("salt") << -5;
    }
    void refusesWhatCannotBeChecked()
    {
        QFETCH(QByteArray, salt);
        QFETCH(int, iterations);
        const PasswordHash broken{salt, digestorHash("secret", salt, 1), iterations};
        QVERIFY(!broken.matches("secret"));
    }
};

QTEST_GUILESS_MAIN(tst_PasswordHash)
#include "tst_passwordhash.moc"
