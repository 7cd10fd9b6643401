// Every record against the shape rules, driven by one complete sample per record: what is
// required, what may be missing or null, which JSON type each key must hold, unknown keys, that
// the records write back exactly what they read, in key-table order, and that equality and the
// hash see every field. Also what a record made in code holds where its maker set nothing.
#include "DecodingFailure.h"
#include "RecordSamples.h"

#include "Album.h"
#include "Channel.h"
#include "ChannelPost.h"
#include "Comment.h"
#include "Playlist.h"
#include "Post.h"
#include "PostAttachment.h"
#include "RadioStation.h"
#include "Track.h"
#include "User.h"
#include "Video.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QTest>

#include <functional>

namespace {

using Recode = std::function<QByteArray(const QByteArray &)>;
// Whether two JSON texts decode to equal records with equal hashes.
using Equal = std::function<bool(const QByteArray &, const QByteArray &)>;

struct Shape
{
    const char *name;
    QByteArray sample;
    Recode recode;
    Equal equal;
    // Keys that may be missing or null: optional fields (absent then) and lenient ones (a default).
    QStringList optional;
    QStringList lenient;
};

template <class T> Recode recode()
{
    return [](const QByteArray &bytes) { return encodeJson(decodeJson<T>(bytes)); };
}

template <class T> Equal equal()
{
    return [](const QByteArray &a, const QByteArray &b) {
        const T first = decodeJson<T>(a);
        const T second = decodeJson<T>(b);
        return first == second && qHash(first, 1) == qHash(second, 1);
    };
}

const QList<Shape> &shapes()
{
    static const QList<Shape> all = {
        {"User",
         RecordSamples::user,
         recode<User>(), equal<User>(),
         {"avatar_url", "cover_url", "status_text", "bio", "last_seen_text"},
         {"username", "first_name", "last_name", "is_verified", "followers_count", "following_count", "is_online"}},
        {"PostAttachment",
         RecordSamples::attachment,
         recode<PostAttachment>(), equal<PostAttachment>(),
         {"title", "subtitle", "thumbnail_url"},
         {}},
        {"Post", RecordSamples::post, recode<Post>(), equal<Post>(), {"channel_name", "channel_avatar_url"}, {}},
        {"Comment",
         RecordSamples::comment,
         recode<Comment>(), equal<Comment>(),
         {},
         {"post_id", "text", "likes_count", "is_liked", "created_at_formatted"}},
        {"Track", RecordSamples::track, recode<Track>(), equal<Track>(), {"cover_url", "lyrics", "album_name", "frequency_fm"}, {}},
        {"Album", RecordSamples::album, recode<Album>(), equal<Album>(), {"cover_url"}, {}},
        {"Playlist", RecordSamples::playlist, recode<Playlist>(), equal<Playlist>(), {"cover_url", "share_url"}, {}},
        {"RadioStation", RecordSamples::radioStation, recode<RadioStation>(), equal<RadioStation>(), {"coverUrl"}, {}},
        {"Video", RecordSamples::video, recode<Video>(), equal<Video>(), {}, {}},
        {"ChannelPost", RecordSamples::channelPost, recode<ChannelPost>(), equal<ChannelPost>(), {"image_url"}, {}},
        {"Channel", RecordSamples::channel, recode<Channel>(), equal<Channel>(), {"user_id", "avatar_url", "cover_url", "posts"}, {}},
    };
    return all;
}

const Shape &shapeNamed(const QString &name)
{
    for (const Shape &shape : shapes()) {
        if (name == QLatin1StringView(shape.name))
            return shape;
    }
    qFatal("no shape %s", qPrintable(name));
}

QJsonObject objectOf(const QByteArray &bytes)
{
    return QJsonDocument::fromJson(bytes).object();
}

QByteArray bytesOf(const QJsonObject &object)
{
    return QJsonDocument(object).toJson(QJsonDocument::Compact);
}

// A value of another JSON type than the key holds in the sample, and the failure it must give.
QList<std::pair<QJsonValue, DecodingError::Kind>> wrongValuesFor(const QString &key, const QJsonValue &sample)
{
    using Kind = DecodingError::Kind;
    switch (sample.type()) {
    case QJsonValue::String:
        return {{QJsonValue(5), Kind::WrongType}, {QJsonValue(true), Kind::WrongType}};
    case QJsonValue::Bool:
        return {{QJsonValue(1), Kind::WrongType}, {QJsonValue(QStringLiteral("true")), Kind::WrongType}};
    case QJsonValue::Double:
        if (key == QLatin1StringView("frequency"))
            return {{QJsonValue(QStringLiteral("101.7")), Kind::WrongType}, {QJsonValue(false), Kind::WrongType}};
        return {{QJsonValue(QStringLiteral("5")), Kind::WrongType},
                {QJsonValue(5.5), Kind::WrongType},
                {QJsonValue(1e30), Kind::WrongType}};
    case QJsonValue::Object:
        return {{QJsonValue(QStringLiteral("x")), Kind::NotAnObject}, {QJsonValue(QJsonArray()), Kind::NotAnObject}};
    case QJsonValue::Array:
        return {{QJsonValue(QJsonObject()), Kind::WrongType}, {QJsonValue(QStringLiteral("[]")), Kind::WrongType}};
    default:
        return {};
    }
}

} // namespace

class TestRecordShapes : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void writesBackWhatItReads_data();
    void writesBackWhatItReads();
    void keyRules_data();
    void keyRules();
    void notAnObject_data();
    void notAnObject();
    void equalityCoversEveryKey_data();
    void equalityCoversEveryKey();
    void constructorDefaults_data();
    void constructorDefaults();
};

void TestRecordShapes::writesBackWhatItReads_data()
{
    QTest::addColumn<QString>("record");
    QTest::addColumn<QByteArray>("input");
    for (const Shape &shape : shapes()) {
        QTest::addRow("%s", shape.name) << shape.name << shape.sample;
        // Unknown keys, a key differing only in case among them, and another key order.
        QJsonObject extended = objectOf(shape.sample);
        extended.insert(QStringLiteral("unknown_key"), QJsonArray{1, QJsonObject{{"id", "x"}}});
        extended.insert(QStringLiteral("ID"), QStringLiteral("not the id"));
        QTest::addRow("%s with unknown keys, sorted", shape.name) << shape.name << bytesOf(extended);
    }
}

void TestRecordShapes::writesBackWhatItReads()
{
    QFETCH(QString, record);
    QFETCH(QByteArray, input);
    const Shape &shape = shapeNamed(record);
    QCOMPARE(shape.recode(input), shape.sample);
}

void TestRecordShapes::keyRules_data()
{
    QTest::addColumn<QString>("record");
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<QString>("key");
    QTest::addColumn<int>("kind"); // -1: decodes

    for (const Shape &shape : shapes()) {
        const QJsonObject sample = objectOf(shape.sample);
        for (auto it = sample.constBegin(); it != sample.constEnd(); ++it) {
            const QString key = it.key();
            const bool mayBeAbsent = shape.optional.contains(key) || shape.lenient.contains(key);

            QJsonObject without = sample;
            without.remove(key);
            QTest::addRow("%s without %s", shape.name, qPrintable(key))
                << shape.name << bytesOf(without) << key << (mayBeAbsent ? -1 : int(DecodingError::Kind::Missing));

            QJsonObject withNull = sample;
            withNull.insert(key, QJsonValue::Null);
            QTest::addRow("%s with %s null", shape.name, qPrintable(key))
                << shape.name << bytesOf(withNull) << key << (mayBeAbsent ? -1 : int(DecodingError::Kind::Null));

            int variant = 0;
            for (const auto &[value, kind] : wrongValuesFor(key, it.value())) {
                QJsonObject wrong = sample;
                wrong.insert(key, value);
                QTest::addRow("%s with %s of a wrong type #%d", shape.name, qPrintable(key), ++variant)
                    << shape.name << bytesOf(wrong) << key << int(kind);
            }
        }
    }
}

void TestRecordShapes::keyRules()
{
    QFETCH(QString, record);
    QFETCH(QByteArray, input);
    QFETCH(QString, key);
    QFETCH(int, kind);
    const Shape &shape = shapeNamed(record);

    if (kind < 0) {
        const QJsonObject written = objectOf(shape.recode(input));
        if (shape.optional.contains(key)) {
            // Absent, and left out when written (never null).
            QJsonObject expected = objectOf(shape.sample);
            expected.remove(key);
            QCOMPARE(written, expected);
        } else {
            QVERIFY(written.value(key).type() != QJsonValue::Null);
        }
        return;
    }
    try {
        shape.recode(input);
        QFAIL("decoded although it must fail");
    } catch (const DecodingError &error) {
        QCOMPARE(int(error.kind()), kind);
        QCOMPARE(error.path(), key);
    }
}

void TestRecordShapes::notAnObject_data()
{
    QTest::addColumn<QString>("record");
    QTest::addColumn<QByteArray>("input");
    for (const Shape &shape : shapes()) {
        QTest::addRow("%s as an array", shape.name) << shape.name << "[" + shape.sample + "]";
        QTest::addRow("%s as a text", shape.name) << shape.name << QByteArray(R"("{\"id\":1}")");
        QTest::addRow("%s as a number", shape.name) << shape.name << QByteArray("7");
    }
}

void TestRecordShapes::notAnObject()
{
    QFETCH(QString, record);
    QFETCH(QByteArray, input);
    try {
        shapeNamed(record).recode(input);
        QFAIL("decoded although it is not an object");
    } catch (const DecodingError &error) {
        QCOMPARE(error.kind(), DecodingError::Kind::NotAnObject);
        QCOMPARE(error.path(), QString());
    }
}

void TestRecordShapes::equalityCoversEveryKey_data()
{
    QTest::addColumn<QString>("record");
    QTest::addColumn<QByteArray>("changed");
    for (const Shape &shape : shapes()) {
        const QJsonObject sample = objectOf(shape.sample);
        for (auto it = sample.constBegin(); it != sample.constEnd(); ++it) {
            QJsonObject changed = sample;
            const QJsonValue value = it.value();
            if (it.key() == QLatin1StringView("type"))
                changed.insert(it.key(), QStringLiteral("video"));
            else if (value.isString())
                changed.insert(it.key(), value.toString() + u'x');
            else if (value.isBool())
                changed.insert(it.key(), !value.toBool());
            else if (value.isDouble())
                changed.insert(it.key(), value.toDouble() + 1);
            else if (value.isArray())
                changed.insert(it.key(), QJsonArray());
            else
                changed.insert(it.key(), QJsonObject{{"id", 99}});
            QTest::addRow("%s %s", shape.name, qPrintable(it.key())) << shape.name << bytesOf(changed);
        }
    }
}

void TestRecordShapes::equalityCoversEveryKey()
{
    QFETCH(QString, record);
    QFETCH(QByteArray, changed);
    const Shape &shape = shapeNamed(record);
    // Written back, a change shows; the records' own equality and hash must see it too.
    QVERIFY(shape.recode(changed) != shape.sample);
    QVERIFY(!shape.equal(shape.sample, changed));
    QVERIFY(shape.equal(changed, changed));
}

void TestRecordShapes::constructorDefaults_data()
{
    QTest::addColumn<QByteArray>("made");
    QTest::addColumn<QByteArray>("json");
    const User author{.id = 2};
    const QByteArray authorJson = R"({"id":2,"username":"","first_name":"","last_name":"","is_verified":false,)"
                                  R"("followers_count":0,"following_count":0,"is_online":false})";
    QTest::newRow("User") << encodeJson(User{.id = 7, .username = "u", .firstName = "F"})
                          << QByteArray(R"({"id":7,"username":"u","first_name":"F","last_name":"","is_verified":false,)"
                                        R"("followers_count":0,"following_count":0,"is_online":false})");
    QTest::newRow("Post") << encodeJson(Post{.id = 1, .author = author, .text = "t"})
                          << R"({"id":1,"author":)" + authorJson +
            R"(,"text":"t","attachments":[],"likes_count":0,"is_liked":false,"reposts_count":0,)"
            R"("is_reposted":false,"comments_count":0,"views_count":0,"created_at_formatted":"Только что"})";
    QTest::newRow("Comment") << encodeJson(Comment{.id = 1, .postId = 2, .author = author, .text = "t"})
                             << R"({"id":1,"post_id":2,"author":)" + authorJson +
            R"(,"text":"t","likes_count":0,"is_liked":false,"created_at_formatted":"Только что"})";
    QTest::newRow("Track") << encodeJson(Track{.id = 1, .title = "t", .durationSeconds = 5})
                           << QByteArray(R"({"id":1,"title":"t","artist":"","duration_seconds":5,"audio_url":"",)"
                                         R"("is_liked":false,"explicit":false})");
    QTest::newRow("Album") << encodeJson(Album{.id = 1, .title = "A"})
                           << QByteArray(R"({"id":1,"title":"A","artist":"","tracks":[],"release_year":"2026"})");
    QTest::newRow("Playlist") << encodeJson(Playlist{.id = 1, .name = "P"})
                              << QByteArray(R"({"id":1,"name":"P","description":"","tracks":[],"is_public":true})");
    QTest::newRow("RadioStation") << encodeJson(RadioStation{.id = 1, .name = "R"})
                                  << QByteArray(R"({"id":1,"name":"R","frequency":0.0,"genre":"","streamUrl":""})");
    QTest::newRow("Video") << encodeJson(Video{.id = 1, .title = "t", .author = author})
                           << R"({"id":1,"title":"t","description":"","author":)" + authorJson +
            R"(,"thumbnail_url":"","video_url":"","duration_seconds":0,"views_count":0,"likes_count":0,)"
            R"("is_liked":false,"created_at_formatted":"Только что"})";
    QTest::newRow("ChannelPost") << encodeJson(ChannelPost{.id = 1, .channelId = 2, .text = "t"})
                                 << QByteArray(R"({"id":1,"channel_id":2,"text":"t","likes_count":0,"views_count":1,)"
                                               R"("created_at_formatted":"Только что"})");
    QTest::newRow("Channel") << encodeJson(Channel{.id = 1, .name = "n"})
                             << QByteArray(R"({"id":1,"user_id":1,"name":"n","description":"","subscribers_count":0,)"
                                           R"("is_subscribed":false,"is_verified":false,"category":"Паблик","posts":[]})");
}

void TestRecordShapes::constructorDefaults()
{
    QFETCH(QByteArray, made);
    QFETCH(QByteArray, json);
    QCOMPARE(made, json);
}

QTEST_GUILESS_MAIN(TestRecordShapes)
#include "tst_recordshapes.moc"
