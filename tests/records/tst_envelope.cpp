// The reply envelope over every payload the service wraps in it.
#include "DecodingFailure.h"
#include "RecordSamples.h"

#include "APIResponse.h"
#include "Channel.h"
#include "ChannelPost.h"
#include "Comment.h"
#include "Post.h"
#include "Track.h"
#include "User.h"
#include "Video.h"

#include <QTest>

#include <functional>

namespace {

// Decodes an envelope of one payload type and writes it out again.
using Recode = std::function<QByteArray(const QByteArray &)>;

template <class T> Recode envelopeOf()
{
    return [](const QByteArray &bytes) { return encodeJson(decodeJson<APIResponse<T>>(bytes)); };
}

struct Payload
{
    const char *name;
    Recode recode;
    QByteArray data;      // a valid "data" value
    QByteArray wrongData; // a "data" value that is not a T
    QString wrongPath;    // where that fails
};

QList<Payload> payloads()
{
    return {
        {"User", envelopeOf<User>(), RecordSamples::user, R"({"username":"x"})", "data.id"},
        {"map of texts", envelopeOf<QMap<QString, QString>>(), R"({"url":"https://example.org/u.jpg"})", R"({"url":5})",
         "data.url"},
        {"Post", envelopeOf<Post>(), RecordSamples::post, R"({"id":1})", "data.author"},
        {"Comment", envelopeOf<Comment>(), RecordSamples::comment, R"({"id":1})", "data.author"},
        {"Track", envelopeOf<Track>(), RecordSamples::track, R"({"id":1,"title":"t"})", "data.artist"},
        {"Video", envelopeOf<Video>(), RecordSamples::video, R"([])", "data"},
        {"Channel", envelopeOf<Channel>(), RecordSamples::channel, R"({"id":"1"})", "data.id"},
        {"ChannelPost", envelopeOf<ChannelPost>(), RecordSamples::channelPost, R"({"id":1,"channel_id":2})",
         "data.text"},
        {"text", envelopeOf<QString>(), R"("Канал обновлён")", R"({"text":"x"})", "data"},
        {"map of flags", envelopeOf<QMap<QString, bool>>(), R"({"is_reposted":true,"is_subscribed":false})",
         R"({"is_reposted":1})", "data.is_reposted"},
        {"list of posts", envelopeOf<QList<Post>>(), "[" + RecordSamples::post + "]",
         "[" + RecordSamples::post + ",{}]", "data[1].id"},
        {"envelope of a user", envelopeOf<APIResponse<User>>(),
         R"({"success":false,"message":"Нет","data":)" + RecordSamples::user + "}", RecordSamples::user,
         "data.success"},
    };
}

} // namespace

class TestEnvelope : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void everyPayload_data();
    void everyPayload();
};

void TestEnvelope::everyPayload_data()
{
    QTest::addColumn<int>("payload");
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<QByteArray>("written"); // empty: refused
    QTest::addColumn<QString>("path");
    QTest::addColumn<int>("kind");

    const QList<Payload> all = payloads();
    for (int i = 0; i < all.size(); ++i) {
        const Payload &p = all.at(i);
        const auto row = [&](const char *what) -> QTestData & { return QTest::addRow("%s: %s", p.name, what) << i; };
        const int noKind = -1;
        row("success only") << QByteArray(R"({"success":true})") << QByteArray(R"({"success":true})") << QString()
                            << noKind;
        row("everything") << R"({"data":)" + p.data + R"(,"message":"Готово","success":true})"
                          << R"({"success":true,"message":"Готово","data":)" + p.data + "}" << QString() << noKind;
        row("null message and data, unknown members")
            << QByteArray(R"({"success":false,"message":null,"data":null,"error":"x","Success":1})")
            << QByteArray(R"({"success":false})") << QString() << noKind;
        row("data that is not the payload")
            << R"({"success":true,"data":)" + p.wrongData + "}" << QByteArray() << p.wrongPath << noKind;
        row("no success") << R"({"message":"x","data":)" + p.data + "}" << QByteArray() << QStringLiteral("success")
                          << int(DecodingError::Kind::Missing);
        row("null success") << QByteArray(R"({"success":null})") << QByteArray() << QStringLiteral("success")
                            << int(DecodingError::Kind::Null);
        row("success as 1") << QByteArray(R"({"success":1})") << QByteArray() << QStringLiteral("success")
                            << int(DecodingError::Kind::WrongType);
        row("success as text") << QByteArray(R"({"success":"true"})") << QByteArray() << QStringLiteral("success")
                               << int(DecodingError::Kind::WrongType);
        row("message as number") << QByteArray(R"({"success":true,"message":5})") << QByteArray()
                                 << QStringLiteral("message") << int(DecodingError::Kind::WrongType);
        row("bare record") << p.data << QByteArray() << QString() << noKind;
        row("bare array") << QByteArray("[1,2]") << QByteArray() << QString() << int(DecodingError::Kind::NotAnObject);
    }
}

void TestEnvelope::everyPayload()
{
    QFETCH(int, payload);
    QFETCH(QByteArray, input);
    QFETCH(QByteArray, written);
    QFETCH(QString, path);
    QFETCH(int, kind);
    const Payload p = payloads().at(payload);
    if (!written.isEmpty()) {
        QCOMPARE(p.recode(input), written);
        return;
    }
    const auto failure = decodingFailure([&] { p.recode(input); });
    QVERIFY(failure);
    if (!path.isEmpty() || kind >= 0)
        QCOMPARE(failure->path(), path);
    if (kind >= 0)
        QCOMPARE(int(failure->kind()), kind);
}

QTEST_GUILESS_MAIN(TestEnvelope)
#include "tst_envelope.moc"
