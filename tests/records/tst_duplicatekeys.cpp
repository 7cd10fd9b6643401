// Duplicate keys in an object, wherever it stands: the last one counts, as QJsonDocument reads
// them, whatever the earlier ones hold (another type, null, a value that fails). Each case gives
// the JSON with duplicates and the same JSON with only the last of each key; both must read the
// same, through the bytes and through Qt's reading of them, and what decodes must write back
// bytes that read the same again.
#include "DecodingFailure.h"
#include "RecordSamples.h"

#include "APIResponse.h"
#include "Album.h"
#include "Post.h"
#include "User.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTest>

#include <functional>

namespace {

// What a decoder makes of some JSON: the bytes it writes back, or its failure's kind and path.
struct Outcome
{
    QByteArray written;
    QString failure;
    bool operator==(const Outcome &) const = default;
};

char *toString(const Outcome &outcome)
{
    return qstrdup(outcome.failure.isEmpty() ? outcome.written.constData() : qPrintable(outcome.failure));
}

Outcome outcomeOf(const std::function<QByteArray()> &decodeAndWrite)
{
    Outcome outcome;
    if (const auto failure = decodingFailure([&] { outcome.written = decodeAndWrite(); }))
        outcome.failure = QStringLiteral("kind %1 at '%2'").arg(int(failure->kind())).arg(failure->path());
    return outcome;
}

struct Decoder
{
    std::function<Outcome(const QByteArray &)> fromBytes;
    std::function<Outcome(const QJsonValue &)> fromQt;
};

template <class T> Decoder decoderOf()
{
    return {
        [](const QByteArray &bytes) { return outcomeOf([&] { return encodeJson(decodeJson<T>(bytes)); }); },
        [](const QJsonValue &value) { return outcomeOf([&] { return encodeJson(JsonCoding<T>::decode(value)); }); },
    };
}

const QHash<QString, Decoder> &decoders()
{
    static const QHash<QString, Decoder> all = {
        {"map of flags", decoderOf<QMap<QString, bool>>()},
        {"map of texts", decoderOf<QMap<QString, QString>>()},
        {"user", decoderOf<User>()},
        {"posts", decoderOf<QList<Post>>()},
        {"album", decoderOf<Album>()},
        {"envelope of flags", decoderOf<APIResponse<QMap<QString, bool>>>()},
        {"envelope of a user", decoderOf<APIResponse<User>>()},
        {"envelope of an envelope", decoderOf<APIResponse<APIResponse<QMap<QString, QString>>>>()},
    };
    return all;
}

QByteArray replaced(QByteArray json, const QByteArray &before, const QByteArray &after)
{
    Q_ASSERT(json.contains(before));
    return json.replace(before, after);
}

} // namespace

class TestDuplicateKeys : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void lastOneCounts_data();
    void lastOneCounts();
};

void TestDuplicateKeys::lastOneCounts_data()
{
    QTest::addColumn<QString>("decoder");
    QTest::addColumn<QByteArray>("json");
    QTest::addColumn<QByteArray>("lastOnly");
    QTest::addColumn<bool>("fails");

    // A map's own keys.
    QTest::newRow("map: same type") << "map of flags" << QByteArray(R"({"a":true,"b":false,"a":false})")
                                    << QByteArray(R"({"b":false,"a":false})") << false;
    QTest::newRow("map: wrong type, then right") << "map of flags" << QByteArray(R"({"a":1,"b":true,"a":false})")
                                                 << QByteArray(R"({"b":true,"a":false})") << false;
    QTest::newRow("map: right type, then wrong")
        << "map of flags" << QByteArray(R"({"a":true,"a":"x"})") << QByteArray(R"({"a":"x"})") << true;
    QTest::newRow("map: null, then a value")
        << "map of flags" << QByteArray(R"({"a":null,"a":true})") << QByteArray(R"({"a":true})") << false;
    QTest::newRow("map: object, array, then text")
        << "map of texts" << QByteArray(R"({"k":{},"k":[],"k":"v"})") << QByteArray(R"({"k":"v"})") << false;
    QTest::newRow("map: two keys, each wrong first") << "map of texts" << QByteArray(R"({"a":1,"b":2,"a":"x","b":"y"})")
                                                     << QByteArray(R"({"a":"x","b":"y"})") << false;
    QTest::newRow("map: key written with an escape")
        << "map of texts" << QByteArray(R"({"k":1,"\u006b":"v"})") << QByteArray(R"({"k":"v"})") << false;

    // A record's keys.
    const QByteArray user = RecordSamples::user;
    QTest::newRow("record: same type") << "user" << replaced(user, R"("id":7,)", R"("id":1,"id":7,)") << user << false;
    QTest::newRow("record: wrong types, then right")
        << "user" << replaced(user, R"({"id":7,)", R"({"id":"7","is_online":0,"id":7,)") << user << false;
    QTest::newRow("record: right type, then wrong")
        << "user" << replaced(user, R"("bio":)", R"("is_verified":"yes","bio":)")
        << replaced(user, R"("is_verified":true,)", "").replace(R"("bio":)", R"("is_verified":"yes","bio":)") << true;
    QTest::newRow("record: null, then a value")
        << "user" << replaced(user, R"({"id":7,)", R"({"id":null,"bio":null,"id":7,)") << user << false;
    QTest::newRow("record: a value, then null")
        << "user" << replaced(user, R"("bio":"Музыка \"и\" книги",)", R"("bio":"Музыка \"и\" книги","bio":null,)")
        << replaced(user, R"("bio":"Музыка \"и\" книги",)", "") << false;

    // Records inside records and lists.
    const QByteArray posts = "[" + RecordSamples::post + "]";
    QTest::newRow("author inside a post: wrong type, then right")
        << "posts" << replaced(posts, R"("author":{"id":8,)", R"("author":{"id":[8],"id":8,)") << posts << false;
    QTest::newRow("whole author, first one failing")
        << "posts" << replaced(posts, R"("author":{)", R"("author":{"id":"x"},"author":{)") << posts << false;
    QTest::newRow("author inside a post: right type, then wrong")
        << "posts" << replaced(posts, R"("author":{"id":8,)", R"("author":{"id":8,"id":"8",)")
        << replaced(posts, R"("author":{"id":8,)", R"("author":{"id":"8",)") << true;
    QTest::newRow("attachment kind inside a post")
        << "posts" << replaced(posts, R"("type":"image")", R"("type":"gif","type":null,"type":"image")") << posts
        << false;
    const QByteArray album = RecordSamples::album;
    QTest::newRow("track list, first one failing")
        << "album" << replaced(album, R"("tracks":[)", R"("tracks":[{"id":1}],"tracks":[)") << album << false;
    QTest::newRow("track inside an album: right type, then wrong")
        << "album" << replaced(album, R"("duration_seconds":215,)", R"("duration_seconds":215,"duration_seconds":2.5,)")
        << replaced(album, R"("duration_seconds":215,)", R"("duration_seconds":2.5,)") << true;

    // The envelope's keys, and keys inside its data.
    QTest::newRow("envelope: every key twice")
        << "envelope of flags"
        << QByteArray(R"({"success":1,"data":{"a":1},"message":5,"success":true,"message":null,"data":{"a":true}})")
        << QByteArray(R"({"success":true,"data":{"a":true}})") << false;
    QTest::newRow("envelope: map keys inside data")
        << "envelope of flags" << QByteArray(R"({"success":true,"data":{"a":1,"a":false}})")
        << QByteArray(R"({"success":true,"data":{"a":false}})") << false;
    QTest::newRow("envelope: success, then a refusal")
        << "envelope of a user" << QByteArray(R"({"success":true,"data":{"id":1},"success":false,"data":null})")
        << QByteArray(R"({"success":false})") << false;
    QTest::newRow("envelope: user inside data, right type then wrong")
        << "envelope of a user" << QByteArray(R"({"success":true,"data":{"id":1,"username":"a","username":7}})")
        << QByteArray(R"({"success":true,"data":{"id":1,"username":7}})") << true;
    QTest::newRow("envelope inside an envelope")
        << "envelope of an envelope"
        << QByteArray(R"({"success":true,"data":{"success":"no","data":{"k":[],"k":"v"},"success":false}})")
        << QByteArray(R"({"success":true,"data":{"data":{"k":"v"},"success":false}})") << false;
    QTest::newRow("inner envelope, first one failing")
        << "envelope of an envelope"
        << QByteArray(R"({"success":true,"data":{"success":1},"data":{"success":true,"data":{"k":1,"k":"w"}}})")
        << QByteArray(R"({"success":true,"data":{"success":true,"data":{"k":"w"}}})") << false;
}

void TestDuplicateKeys::lastOneCounts()
{
    QFETCH(QString, decoder);
    QFETCH(QByteArray, json);
    QFETCH(QByteArray, lastOnly);
    QFETCH(bool, fails);
    const Decoder &decode = decoders()[decoder];
    QVERIFY(decode.fromBytes);

    const Outcome outcome = decode.fromBytes(json);
    QCOMPARE(outcome, decode.fromBytes(lastOnly));
    QCOMPARE(!outcome.failure.isEmpty(), fails);

    QJsonParseError error;
    const QJsonDocument qt = QJsonDocument::fromJson(json, &error);
    QCOMPARE(error.error, QJsonParseError::NoError);
    QCOMPARE(decode.fromQt(qt.isArray() ? QJsonValue(qt.array()) : QJsonValue(qt.object())), outcome);

    if (!fails)
        QCOMPARE(decode.fromBytes(outcome.written), outcome);
}

QTEST_GUILESS_MAIN(TestDuplicateKeys)
#include "tst_duplicatekeys.moc"
