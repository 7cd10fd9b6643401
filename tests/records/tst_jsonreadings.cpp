// A document is read from simdjson's tape where it can be and from its bytes where only they can
// tell: these are the cases on that border, each checked both ways by failureOf().
#include "APIResponse.h"
#include "DecodingFailure.h"
#include "User.h"

#include <QTest>

class TestJsonReadings : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void border_data();
    void border();
    void repeatedTextsAreShared();
    void textsOutliveTheirDocument();
    void documentTooLargeForTheTape();
};

void TestJsonReadings::border_data()
{
    QTest::addColumn<QByteArray>("json");
    QTest::addColumn<int>("kind"); // -1: decodes
    QTest::addColumn<QString>("path");
    QTest::addColumn<qint64>("id");

    const int decodes = -1;
    const int invalid = int(DecodingError::Kind::InvalidJson);
    const int wrongType = int(DecodingError::Kind::WrongType);
    QTest::newRow("zero with a fraction in a member no record reads")
        << QByteArray(R"({"success":true,"extra":0.0,"data":{"id":1}})") << decodes << QString() << qint64(1);
    QTest::newRow("below the double range in a member no record reads")
        << QByteArray(R"({"success":true,"extra":{"a":[2e-324]},"data":{"id":1}})") << invalid << QString()
        << qint64(0);
    QTest::newRow("below the double range where a record stops early")
        << QByteArray(R"({"success":true,"data":{"id":"1","bio":1e-400}})") << invalid << QString() << qint64(0);
    QTest::newRow("whole number with a fraction")
        << QByteArray(R"({"success":true,"data":{"id":7.0}})") << decodes << QString() << qint64(7);
    QTest::newRow("whole number with an exponent above 2^53")
        << QByteArray(R"({"success":true,"data":{"id":9007199254740993e0}})") << decodes << QString()
        << qint64(9007199254740993);
    QTest::newRow("not quite whole")
        << QByteArray(R"({"success":true,"data":{"id":1.0000000000000000001}})") << wrongType
        << QStringLiteral("data.id") << qint64(0);
    QTest::newRow("wider than 64 bits")
        << QByteArray(R"({"success":true,"data":{"id":18446744073709551615}})") << wrongType
        << QStringLiteral("data.id") << qint64(0);
    QTest::newRow("beyond the range of any integer")
        << QByteArray(R"({"success":true,"data":{"id":18446744073709551616}})") << wrongType
        << QStringLiteral("data.id") << qint64(0);
    QTest::newRow("escaped key") << QByteArray(R"({"success":true,"data":{"\u0069d":3}})") << decodes << QString()
                                 << qint64(3);
    QTest::newRow("nested deeper than the tape takes")
        << "{\"success\":true,\"extra\":" + QByteArray(300, '[') + QByteArray(300, ']') + ",\"data\":{\"id\":2}}"
        << decodes << QString() << qint64(2);
}

void TestJsonReadings::border()
{
    QFETCH(QByteArray, json);
    QFETCH(int, kind);
    QFETCH(QString, path);
    QFETCH(qint64, id);
    APIResponse<User> response;
    const std::optional<DecodingError> failure = failureOf<APIResponse<User>>(json, &response);
    if (kind < 0) {
        QVERIFY2(!failure, failure ? qPrintable(failure->localizedDescription()) : "");
        QVERIFY(response.data);
        QCOMPARE(response.data->id, id);
    } else {
        QVERIFY(failure);
        QCOMPARE(int(failure->kind()), kind);
        QCOMPARE(failure->path(), path);
    }
}

void TestJsonReadings::repeatedTextsAreShared()
{
    const QList<QString> texts = decodedAlike<QList<QString>>(R"(["Анна","Мария","Анна"])");
    QCOMPARE(texts, (QList<QString>{"Анна", "Мария", "Анна"}));
    QCOMPARE(texts[0].constData(), texts[2].constData());
}

void TestJsonReadings::textsOutliveTheirDocument()
{
    // The shared texts are let go when their document ends; what the records hold stays theirs.
    const QList<QString> first = decodedAlike<QList<QString>>(R"(["Анна","Анна"])");
    const QList<QString> second = decodedAlike<QList<QString>>(R"(["Вера","Вера"])");
    QCOMPARE(first, (QList<QString>{"Анна", "Анна"}));
    QCOMPARE(second, (QList<QString>{"Вера", "Вера"}));
}

void TestJsonReadings::documentTooLargeForTheTape()
{
    // Over 1 MiB: read from the bytes, which costs less memory, with the same result.
    QByteArray json = "[";
    const int count = 15000;
    for (int i = 0; i < count; ++i)
        json += R"({"id":)" + QByteArray::number(i) + R"(,"first_name":"Пользователь номер )" + QByteArray::number(i) +
            R"(","bio":"Музыка, путешествия и фотография"},)";
    json.back() = ']';
    QVERIFY(json.size() > 1024 * 1024);
    const QList<User> users = decodedAlike<QList<User>>(json);
    QCOMPARE(users.size(), count);
    QCOMPARE(users.last().id, count - 1);
    QCOMPARE(users.last().firstName, QStringLiteral("Пользователь номер %1").arg(count - 1));
}

QTEST_GUILESS_MAIN(TestJsonReadings)
#include "tst_jsonreadings.moc"
