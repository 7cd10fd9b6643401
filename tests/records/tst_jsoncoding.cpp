// The coding underneath the records (each key's type rules are in tst_recordshapes): what counts
// as an integer or a text, which bytes are JSON at all, what the writer puts out, and how a
// failure names its place.
#include "DecodingFailure.h"

#include "APIResponse.h"
#include "Post.h"
#include "User.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTest>

#include <cmath>
#include <limits>

class TestJsonCoding : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void integers_data();
    void integers();
    void texts_data();
    void texts();
    void notJson_data();
    void notJson();
    void documentReadAgainAfterAFault();
    void nestingIsCapped();
    void byteOrderMarkIsSkipped();
    void writtenTexts_data();
    void writtenTexts();
    void writtenDoubles_data();
    void writtenDoubles();
    void readDoubles_data();
    void readDoubles();
    void failurePaths_data();
    void failurePaths();
    void descriptions_data();
    void descriptions();
    void qJsonValueGivesTheSameOutcome_data();
    void qJsonValueGivesTheSameOutcome();
    void duplicateKeysLastOneCounts();
    void repeatedTextsAreShared();
    void documentsOfEverySizeOnOneThread();
};

void TestJsonCoding::integers_data()
{
    QTest::addColumn<QByteArray>("json");
    QTest::addColumn<bool>("accepted");
    QTest::addColumn<qint64>("value");
    QTest::addColumn<int>("kind");

    const int wrongType = int(DecodingError::Kind::WrongType);
    QTest::newRow("whole number") << QByteArray("5") << true << qint64(5) << 0;
    QTest::newRow("whole number written as 5.0") << QByteArray("5.0") << true << qint64(5) << 0;
    QTest::newRow("exponent with a whole value") << QByteArray("1e2") << true << qint64(100) << 0;
    QTest::newRow("negative zero") << QByteArray("-0") << true << qint64(0) << 0;
    QTest::newRow("largest") << QByteArray("9223372036854775807") << true << std::numeric_limits<qint64>::max() << 0;
    QTest::newRow("smallest") << QByteArray("-9223372036854775808") << true << std::numeric_limits<qint64>::min() << 0;
    QTest::newRow("negative zero with a fraction") << QByteArray("-0.0e3") << true << qint64(0) << 0;
    QTest::newRow("whole value from a fraction and exponent") << QByteArray("123000e-3") << true << qint64(123) << 0;
    // Read from the digits, not through a double, which would round to ...992.
    QTest::newRow("above 2^53 with a fraction")
        << QByteArray("9007199254740993.0") << true << qint64(9007199254740993) << 0;
    QTest::newRow("largest with a fraction")
        << QByteArray("9223372036854775807.0") << true << std::numeric_limits<qint64>::max() << 0;
    QTest::newRow("above 2^53 with an exponent")
        << QByteArray("9007199254740993e0") << true << qint64(9007199254740993) << 0;
    QTest::newRow("fraction a double cannot hold")
        << QByteArray("1.0000000000000000001") << false << qint64(0) << wrongType;
    QTest::newRow("beyond 64 bits") << QByteArray("9223372036854775808") << false << qint64(0) << wrongType;
    QTest::newRow("beyond any 64 bits") << QByteArray("18446744073709551616") << false << qint64(0) << wrongType;
    // A double would round it to the smallest integer.
    QTest::newRow("below 64 bits") << QByteArray("-9223372036854775809") << false << qint64(0) << wrongType;
    QTest::newRow("beyond 64 bits by exponent")
        << QByteArray("92233720368547758080e-1") << false << qint64(0) << wrongType;
    QTest::newRow("null") << QByteArray("null") << false << qint64(0) << int(DecodingError::Kind::Null);
}

void TestJsonCoding::integers()
{
    QFETCH(QByteArray, json);
    QFETCH(bool, accepted);
    QFETCH(qint64, value);
    QFETCH(int, kind);
    if (accepted) {
        QCOMPARE(decodeJson<qint64>(json), value);
        // The same inside a record, where it matters.
        QCOMPARE(decodeJson<User>(R"({"id":)" + json + "}").id, value);
        QCOMPARE(decodeJson<qint64>(encodeJson(value)), value);
    } else {
        const auto failure = failureOf<User>(R"({"id":)" + json + "}");
        QVERIFY(failure);
        QCOMPARE(int(failure->kind()), kind);
        QCOMPARE(failure->path(), QStringLiteral("id"));
    }
}



void TestJsonCoding::texts_data()
{
    QTest::addColumn<QByteArray>("json");
    QTest::addColumn<QString>("expected");

    QTest::newRow("plain") << QByteArray(R"("abc")") << QStringLiteral("abc");
    QTest::newRow("empty") << QByteArray(R"("")") << QString();
    QTest::newRow("Cyrillic and emoji") << QByteArray(R"("Свобода 🚀")") << QStringLiteral("Свобода 🚀");
    QTest::newRow("escapes") << QByteArray("\"q\\\"b\\\\s\\/n\\nt\\tr\\rb\\bf\\f\"")
                             << QStringLiteral("q\"b\\s/n\nt\tr\rb\bf\f");
    QTest::newRow("unicode escapes") << QByteArray("\"\\u0416\\ud83d\\ude80\\u0000\"")
                                     << QString(QStringLiteral("Ж🚀") + QChar(0));
    // U+FEFF is a character of the text, however many lead it; no byte-order mark.
    const QByteArray mark = "\xef\xbb\xbf";
    for (int count = 1; count <= 3; ++count) {
        const QString marks(count, QChar(0xFEFF));
        QTest::addRow("%d leading U+FEFF", count) << "\"" + mark.repeated(count) + "a\"" << marks + u'a';
        QTest::addRow("%d leading escaped U+FEFF", count) << "\"" + QByteArray("\\ufeff").repeated(count) + "\"" << marks;
    }
}

void TestJsonCoding::texts()
{
    QFETCH(QByteArray, json);
    QFETCH(QString, expected);
    const QString text = decodeJson<QString>(json);
    QCOMPARE(text, expected);
    // Written and read again: the same text.
    QCOMPARE(decodeJson<QString>(encodeJson(text)), expected);
    // The same as a key, and inside a record.
    QCOMPARE((decodeJson<QMap<QString, QString>>("{" + json + ":\"\"}").firstKey()), expected);
    const User user = decodeJson<User>(R"({"id":1,"bio":)" + json + "}");
    QCOMPARE(decodeJson<User>(encodeJson(user)).bio, expected);
}

void TestJsonCoding::notJson_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("nothing") << QByteArray();
    QTest::newRow("white space only") << QByteArray(" \n\t");
    QTest::newRow("unclosed object") << QByteArray(R"({"id":1)");
    QTest::newRow("trailing comma in array") << QByteArray("[1,]");
    QTest::newRow("trailing comma in object") << QByteArray(R"({"id":1,})");
    QTest::newRow("leading zero") << QByteArray("[01]");
    QTest::newRow("bare fraction point") << QByteArray("[1.]");
    QTest::newRow("no integer part") << QByteArray("[.5]");
    QTest::newRow("plus sign") << QByteArray("[+1]");
    QTest::newRow("raw control character in text") << QByteArray("[\"a\x01\"]");
    QTest::newRow("unknown escape") << QByteArray("[\"\\x\"]");
    QTest::newRow("short unicode escape") << QByteArray("[\"\\u12\"]");
    QTest::newRow("invalid UTF-8") << QByteArray("[\"\xff\"]");
    QTest::newRow("overlong UTF-8") << QByteArray("[\"\xc0\x80\"]");
    QTest::newRow("encoded surrogate") << QByteArray("[\"\xed\xa0\x80\"]");
    QTest::newRow("garbage after the value") << QByteArray("[1] x");
    QTest::newRow("two values") << QByteArray("1 2");
    QTest::newRow("misspelt literal") << QByteArray("[nul]");
    QTest::newRow("single quotes") << QByteArray("{'id':1}");
    QTest::newRow("number beyond double") << QByteArray("[1e400]");
    QTest::newRow("deep nesting") << QByteArray(100000, '[');
    // No Unicode text holds half a surrogate pair, so no record can carry one.
    QTest::newRow("lone high surrogate escape") << QByteArray("[\"a\\ud800b\"]");
    QTest::newRow("lone low surrogate escape") << QByteArray("[\"a\\udc00b\"]");
    QTest::newRow("high surrogate before a letter escape") << QByteArray("[\"\\ud83d\\u0041\"]");
    QTest::newRow("closing bracket too many") << QByteArray("[1]]");
    QTest::newRow("second value behind a bracket") << QByteArray("1],[2");
    QTest::newRow("unclosed array") << QByteArray("[[1]");
    QTest::newRow("missing comma") << QByteArray(R"({"a":1 "b":2})");
    QTest::newRow("literal running on") << QByteArray("[truex]");
    // The parser refuses integers over 64 bits; they are read again as doubles, still not JSON.
    QTest::newRow("too wide an integer beside a number beyond double")
        << QByteArray("[18446744073709551616,1e400]");
    // Decoding stops at the first element, which is no record; the fault lies further on.
    QTest::newRow("fault after a value of the wrong kind") << QByteArray("[1,{\"id\":tru}]");
    QTest::newRow("fault inside a member no record reads") << QByteArray(R"({"success":true,"extra":[1,,2]})");
    QTest::newRow("one level too deep inside a member no record reads")
        << "{\"success\":true,\"extra\":" + QByteArray(512, '[') + QByteArray(512, ']') + "}";
}

void TestJsonCoding::notJson()
{
    QFETCH(QByteArray, bytes);
    for (const auto &failure : {failureOf<QList<Post>>(bytes), failureOf<APIResponse<User>>(bytes)}) {
        QVERIFY(failure);
        QCOMPARE(failure->kind(), DecodingError::Kind::InvalidJson);
        QCOMPARE(failure->path(), QString());
    }
}

void TestJsonCoding::documentReadAgainAfterAFault()
{
    // Read as one type, then as another, as the reply decoder does.
    JsonDocument document("{\"success\":true,\"data\":{not json");
    for (int attempt = 0; attempt < 2; ++attempt)
        QCOMPARE(decodingFailure([&document] { document.decode<APIResponse<User>>(); })->kind(),
                 DecodingError::Kind::InvalidJson);
    QVERIFY(document.notJson());

    // A well-formed document read twice gives the same record twice.
    JsonDocument valid(R"({"id":4,"username":"anna"})");
    QVERIFY(decodingFailure([&valid] { valid.decodeUnchecked<APIResponse<User>>(); }));
    QCOMPARE(valid.decodeUnchecked<User>().username, QStringLiteral("anna"));
    QCOMPARE(valid.decodeUnchecked<User>().id, 4);
    QVERIFY(!valid.notJson());
}

void TestJsonCoding::nestingIsCapped()
{
    // 512 containers, the outermost included, are read; one more is refused.
    const QByteArray deepest = "{\"success\":true,\"extra\":" + QByteArray(511, '[') + QByteArray(511, ']') + "}";
    QVERIFY(decodeJson<APIResponse<User>>(deepest).success);
}

void TestJsonCoding::byteOrderMarkIsSkipped()
{
    QCOMPARE(decodeJson<User>("\xef\xbb\xbf {\"id\":4}").id, 4);
    // Only at the start, and only once.
    QVERIFY(failureOf<User>("\xef\xbb\xbf\xef\xbb\xbf{\"id\":4}"));
    QVERIFY(failureOf<User>(" \xef\xbb\xbf{\"id\":4}"));
}

void TestJsonCoding::writtenTexts_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("json");

    QTest::newRow("plain") << QStringLiteral("abc") << QByteArray(R"("abc")");
    QTest::newRow("quote and backslash") << QStringLiteral("a\"b\\c") << QByteArray("\"a\\\"b\\\\c\"");
    QTest::newRow("named controls") << QStringLiteral("\n\t\r\b\f") << QByteArray("\"\\n\\t\\r\\b\\f\"");
    QTest::newRow("other controls") << QString(QChar(1) + QStringLiteral("x") + QChar(0x1f))
                                    << QByteArray("\"\\u0001x\\u001f\"");
    QTest::newRow("slash stays") << QStringLiteral("a/b") << QByteArray(R"("a/b")");
    QTest::newRow("Cyrillic and emoji as UTF-8") << QStringLiteral("Ж🚀") << QByteArray("\"Ж🚀\"");
    QTest::newRow("lone surrogates escaped") << QStringView(u"\xdc00"
                                                            u"x\xd800")
                                                    .toString()
                                             << QByteArray("\"\\udc00x\\ud800\"");
}

void TestJsonCoding::writtenTexts()
{
    QFETCH(QString, text);
    QFETCH(QByteArray, json);
    QCOMPARE(encodeJson(text), json);
    // Qt's own parser reads it back too.
    QCOMPARE(QJsonDocument::fromJson("[" + json + "]").array().at(0).toString(), text);
}

void TestJsonCoding::writtenDoubles_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<QByteArray>("json");

    QTest::newRow("radio frequency") << 101.7 << QByteArray("101.7");
    QTest::newRow("whole") << 88.0 << QByteArray("88.0");
    QTest::newRow("a tenth") << 0.1 << QByteArray("0.1");
    QTest::newRow("large") << 1e21 << QByteArray("1e+21");
    QTest::newRow("negative zero") << -0.0 << QByteArray("-0.0");
    QTest::newRow("smallest subnormal") << 5e-324 << QByteArray("5e-324");
    QTest::newRow("largest") << std::numeric_limits<double>::max() << QByteArray("1.7976931348623157e+308");
    QTest::newRow("not a number") << std::numeric_limits<double>::quiet_NaN() << QByteArray("null");
    QTest::newRow("infinity") << std::numeric_limits<double>::infinity() << QByteArray("null");
}

void TestJsonCoding::writtenDoubles()
{
    QFETCH(double, value);
    QFETCH(QByteArray, json);
    QCOMPARE(encodeJson(value), json);
    if (std::isfinite(value)) {
        const double back = decodeJson<double>(json);
        QCOMPARE(std::memcmp(&back, &value, sizeof value), 0);
    }
}

void TestJsonCoding::readDoubles_data()
{
    QTest::addColumn<QByteArray>("json");
    QTest::addColumn<double>("value");
    QTest::newRow("integer") << QByteArray("5") << 5.0;
    QTest::newRow("wider than 64 bits") << QByteArray("18446744073709551616") << 18446744073709551616.0;
    QTest::newRow("below 64 bits") << QByteArray("-9223372036854775809") << -9223372036854775808.0;
    QTest::newRow("below the double range") << QByteArray("1e-400") << 0.0;
    QTest::newRow("negative, below the double range") << QByteArray("-1e-400") << -0.0;
}

void TestJsonCoding::readDoubles()
{
    QFETCH(QByteArray, json);
    QFETCH(double, value);
    const double read = decodeJson<double>(json);
    QCOMPARE(std::memcmp(&read, &value, sizeof value), 0);
}


void TestJsonCoding::failurePaths_data()
{
    QTest::addColumn<QByteArray>("json");
    QTest::addColumn<QString>("path");
    QTest::addColumn<int>("kind");

    const QByteArray post = R"({"id":1,"author":{"id":2},"text":"","attachments":[],"likes_count":0,"is_liked":false,)"
                            R"("reposts_count":0,"is_reposted":false,"comments_count":0,"views_count":0,)"
                            R"("created_at_formatted":""})";
    QByteArray badAuthor = post;
    badAuthor.replace(R"({"id":2})", R"({"id":"2"})");
    QByteArray badKind = post;
    badKind.replace(R"("attachments":[])",
                    R"("attachments":[{"id":"a","type":"image","url":""},{"id":"b","type":"gif","url":""}])");
    QByteArray noViews = post;
    noViews.replace(R"("views_count":0,)", "");

    QTest::newRow("author id inside the fourth post")
        << "{\"success\":true,\"data\":[" + post + "," + post + "," + post + "," + badAuthor + "]}"
        << QStringLiteral("data[3].author.id") << int(DecodingError::Kind::WrongType);
    QTest::newRow("attachment kind") << "{\"success\":true,\"data\":[" + badKind + "]}"
                                     << QStringLiteral("data[0].attachments[1].type")
                                     << int(DecodingError::Kind::UnknownValue);
    QTest::newRow("missing counter") << "{\"success\":true,\"data\":[" + post + "," + noViews + "]}"
                                     << QStringLiteral("data[1].views_count") << int(DecodingError::Kind::Missing);
    QTest::newRow("element that is not an object") << QByteArray(R"({"success":true,"data":[null]})")
                                                   << QStringLiteral("data[0]") << int(DecodingError::Kind::Null);
    QTest::newRow("data of the wrong kind")
        << QByteArray(R"({"success":true,"data":{}})") << QStringLiteral("data") << int(DecodingError::Kind::WrongType);
}

void TestJsonCoding::failurePaths()
{
    QFETCH(QByteArray, json);
    QFETCH(QString, path);
    QFETCH(int, kind);
    const auto failure = failureOf<APIResponse<QList<Post>>>(json);
    QVERIFY(failure);
    QCOMPARE(failure->path(), path);
    QCOMPARE(int(failure->kind()), kind);
    // A caller's own starting point comes first.
    try {
        JsonCoding<APIResponse<QList<Post>>>::decode(QJsonDocument::fromJson(json).object(), QStringLiteral("reply"));
        QFAIL("decoded");
    } catch (const DecodingError &error) {
        QCOMPARE(error.path(), QStringLiteral("reply.") + path);
    }
}

void TestJsonCoding::descriptions_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("detail");
    QTest::addColumn<QString>("text");

    using Kind = DecodingError::Kind;
    QTest::newRow("missing") << int(Kind::Missing) << QStringLiteral("data[3].author.id") << QString()
                             << QStringLiteral("поле «data[3].author.id» отсутствует");
    QTest::newRow("null") << int(Kind::Null) << QStringLiteral("success") << QString()
                          << QStringLiteral("поле «success» равно null");
    QTest::newRow("wrong type") << int(Kind::WrongType) << QStringLiteral("id") << QStringLiteral("целое число")
                                << QStringLiteral("поле «id» имеет неверный тип, ожидается целое число");
    QTest::newRow("not an object at the top") << int(Kind::NotAnObject) << QString() << QString()
                                              << QStringLiteral("значение верхнего уровня не является объектом");
    QTest::newRow("unknown value") << int(Kind::UnknownValue) << QStringLiteral("attachments[0].type")
                                   << QStringLiteral("gif")
                                   << QStringLiteral("поле «attachments[0].type» содержит неизвестное значение «gif»");
    QTest::newRow("not JSON") << int(Kind::InvalidJson) << QString() << QStringLiteral("позиция 3")
                              << QStringLiteral("данные не являются корректным JSON (позиция 3)");
}

void TestJsonCoding::descriptions()
{
    QFETCH(int, kind);
    QFETCH(QString, path);
    QFETCH(QString, detail);
    QFETCH(QString, text);
    const DecodingError error(DecodingError::Kind(kind), path, detail);
    QCOMPARE(error.localizedDescription(), text);
    const VorlaneError &base = error;
    QCOMPARE(QString::fromUtf8(base.what()), text);
}

void TestJsonCoding::qJsonValueGivesTheSameOutcome_data()
{
    QTest::addColumn<QByteArray>("json");
    QTest::newRow("full user") << QByteArray("{\"id\":9223372036854775807,\"username\":\"a\\u0000b\",\"bio\":\"x\"}");
    QTest::newRow("whole double id") << QByteArray(R"({"id":5.0})");
    QTest::newRow("fractional id") << QByteArray(R"({"id":5.5})");
    QTest::newRow("flag as number") << QByteArray(R"({"id":5,"is_online":1})");
    QTest::newRow("no id") << QByteArray(R"({"username":"x"})");
    QTest::newRow("array") << QByteArray(R"([{"id":5}])");
    QTest::newRow("lone surrogate and escapes") << QByteArray("{\"id\":1,\"username\":\"a\\ud800\\n\\\"\"}");
    QTest::newRow("escaped key") << QByteArray("{\"\\u0069d\":3}");
}

void TestJsonCoding::qJsonValueGivesTheSameOutcome()
{
    QFETCH(QByteArray, json);
    const QJsonDocument document = QJsonDocument::fromJson(json);
    const QJsonValue value = document.isArray() ? QJsonValue(document.array()) : QJsonValue(document.object());
    std::optional<User> direct;
    std::optional<User> viaQt;
    QString directFailure;
    QString viaQtFailure;
    try {
        direct = decodeJson<User>(json);
    } catch (const DecodingError &error) {
        directFailure = error.localizedDescription();
    }
    try {
        viaQt = User::fromJson(value);
    } catch (const DecodingError &error) {
        viaQtFailure = error.localizedDescription();
    }
    QCOMPARE(viaQt, direct);
    QCOMPARE(viaQtFailure, directFailure);

    // An undefined value (a key a caller looked up and did not find) is a missing one.
    try {
        User::fromJson(QJsonObject().value(QStringLiteral("user")), QStringLiteral("user"));
        QFAIL("decoded");
    } catch (const DecodingError &error) {
        QCOMPARE(error.kind(), DecodingError::Kind::Missing);
        QCOMPARE(error.path(), QStringLiteral("user"));
    }
}

void TestJsonCoding::duplicateKeysLastOneCounts()
{
    // As with QJsonDocument, so that both routes agree.
    QCOMPARE(decodeJson<User>(R"({"id":1,"username":"a","id":2})").id, 2);
    // A key written with escapes is still that key.
    QCOMPARE(decodeJson<User>("{\"\\u0069d\":3}").id, 3);
    QCOMPARE((decodeJson<QMap<QString, QString>>(R"({"url":"a","url":"b"})")),
             (QMap<QString, QString>{{QStringLiteral("url"), QStringLiteral("b")}}));
}

void TestJsonCoding::repeatedTextsAreShared()
{
    const QList<QString> texts = decodeJson<QList<QString>>(R"(["Анна","Мария","Анна"])");
    QCOMPARE(texts, (QList<QString>{"Анна", "Мария", "Анна"}));
    QCOMPARE(texts[0].constData(), texts[2].constData());
    // Let go with their document: the next one's texts are its own.
    QCOMPARE(decodeJson<QList<QString>>(R"(["Вера","Вера"])"), (QList<QString>{"Вера", "Вера"}));
}

void TestJsonCoding::documentsOfEverySizeOnOneThread()
{
    // The thread's parser grows for a large document and serves small ones after it.
    const auto users = [](int count) {
        QByteArray json = "[";
        for (int i = 0; i < count; ++i)
            json += R"({"id":)" + QByteArray::number(i) + R"(,"first_name":"Пользователь )" + QByteArray::number(i) +
                R"(","bio":"Музыка, путешествия и фотография"},)";
        json.back() = ']';
        return json;
    };
    for (const int count : {2, 30000, 3}) {
        const QList<User> read = decodeJson<QList<User>>(users(count));
        QCOMPARE(read.size(), count);
        QCOMPARE(read.last().firstName, QStringLiteral("Пользователь %1").arg(count - 1));
    }
}

QTEST_GUILESS_MAIN(TestJsonCoding)
#include "tst_jsoncoding.moc"
