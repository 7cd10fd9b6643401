#include "AuthViewModel.h"
#include "NetworkManager.h"
#include "RequestTally.h"
#include "ScreenDriver.h"
#include "ScriptedResponder.h"
#include "WindowTest.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QPointer>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QUrl>
#include <QUrlQuery>

#include <optional>

using namespace ScreenDriver;

namespace {
// Stands for the text typed into a write's telling field, new in every test.
const QString Unique = QStringLiteral("%u");

// One write the user makes through a form, and where its effect shows.
struct Write
{
    QStringList taps{};                                // from the signed-in window to the form
    QList<std::pair<QString, QString>> typed{};        // field, text
    std::optional<std::pair<QString, QString>> pick{}; // pick button, file (a document, no crop)
    QString picker{};                                  // the picker's content, gone once the pick is done
    QString button{};                                  // the press that writes
    QString sheet{};                                   // the sheet that closes once the record is stored
    QByteArray path{};                                 // the service's write ("" for a write kept on the device)
    QByteArray marker{};                               // what tells this write's body apart
    QString records{};      // the service's list that holds the record, {key} taken from the write's body
    QString list{};         // the window's list that gains the record
    bool signedOut = false; // the sign-in screen's writes
    // Every press sends while the sheet is open: the same values again, which make no second record.
    bool sendsEachPress = false;
};

const QHash<QString, Write> &writes()
{
    static const QHash<QString, Write> table{
        {"track save",
         {.taps = {"tabButton2", "uploadTrackButton"},
          .typed = {{"trackTitleField", Unique}, {"trackArtistField", "Tester"}},
          .pick = std::pair{QStringLiteral("audioPickButton"), QStringLiteral("tone.wav")},
          .picker = "audioPicker",
          .button = "sheetTrailingButton",
          .sheet = "uploadSheet",
          .path = "/api/music_upload.php",
          .records = "music.php",
          .list = "trackList"}},
        {"video upload",
         {.taps = {"tabButton3", "uploadVideoButton"},
          .typed = {{"titleField", Unique}},
          .pick = std::pair{QStringLiteral("videoButton"), QStringLiteral("clip.mp4")},
          .picker = "videoPicker",
          .button = "submitButton",
          .sheet = "uploadSheet",
          .path = "/api/video_upload.php",
          .records = "videos.php",
          .list = "videoList"}},
        {"channel create",
         {.taps = {"tabButton1", "createChannelHeaderButton"},
          .typed = {{"nameField", Unique}},
          .button = "actionButton",
          .sheet = "createChannelSheet",
          .path = "/api/channels.php",
          .marker = R"("action":"create")",
          .records = "channels.php",
          .list = "channelList"}},
        {"channel edit",
         {.taps = {"tabButton1", "segment1", "channelRow0", "channelSettingsButton"},
          .typed = {{"nameField", Unique}},
          .button = "actionButton",
          .sheet = "editChannelSheet",
          .path = "/api/channels.php",
          .marker = R"("action":"edit")",
          .records = "channels.php"}},
        {"channel post",
         {.taps = {"tabButton1", "segment1", "channelRow0", "createPostButton"},
          .typed = {{"postTextEditor", Unique}},
          .button = "actionButton",
          .sheet = "postComposerSheet",
          .path = "/api/channels.php",
          .marker = R"("action":"create_post")",
          .records = "channels.php?channel_id={channel_id}",
          .list = "postCards"}},
        {"post composer",
         {.taps = {"tabButton0", "composerButton"},
          .typed = {{"postTextEditor", Unique}},
          .button = "publishButton",
          .sheet = "composerSheet",
          .path = "/api/feed.php",
          .records = "feed.php",
          .list = "feedList"}},
        {"comment send",
         {.taps = {"tabButton0", "commentButton"},
          .typed = {{"commentField", Unique}},
          .button = "sendButton",
          .path = "/api/feed.php",
          .marker = R"("action":"comment")",
          .records = "feed.php?action=comments&post_id={post_id}",
          .list = "commentList"}},
        {"profile save",
         {.taps = {"tabButton4", "profileActionButton"},
          .typed = {{"statusField", Unique}},
          .button = "editSaveButton",
          .sheet = "editSheet",
          .path = "/api/profile.php",
          .records = "profile.php?user_id=1",
          .sendsEachPress = true}},
        {"new playlist",
         {.taps = {"tabButton2", "segment2", "createPlaylistButton"},
          .typed = {{"playlistNameField", Unique}},
          .button = "sheetTrailingButton",
          .sheet = "createPlaylistSheet",
          .list = "playlistList"}},
        {"sign-in",
         {.typed = {{"loginField", ServiceProcess::demoUsername()}, {"passwordField", ServiceProcess::demoPassword()}},
          .button = "submitButton",
          .path = "/api/auth.php",
          .marker = R"("action":"login")",
          .signedOut = true}},
        {"registration",
         {.taps = {"modeToggle"},
          .typed = {{"usernameField", Unique}, {"passwordField", "secret123"}},
          .button = "submitButton",
          .path = "/api/auth.php",
          .marker = R"("action":"register")",
          .signedOut = true}},
    };
    return table;
}

enum class Press { TwoClicks, DoubleClick, AfterStored };
} // namespace

Q_DECLARE_METATYPE(Press)

// Every write a form makes, pressed twice as a quick hand does and once more after its record is
// stored: the service gets one write and the list shows one record. The profile editor sends at
// every press while its sheet is open, the same texts each time, and still makes one record. The
// client goes through a relay that notes each request, so the writes are counted where they arrive.
class TestWindowWrites : public WindowTest
{
    Q_OBJECT

    std::unique_ptr<RequestTally> m_tally;
    int m_serial = 0;

    QString uniqueText(const QString &tag) const
    {
        QString text = QStringLiteral("Once") + QString::number(m_serial);
        for (const QChar ch : tag) {
            if (ch.isLetter())
                text += ch;
        }
        return text;
    }

    void typeInto(const QString &field, const QString &text) const
    {
        QVERIFY(tapName(field));
        QTest::keyClick(window(), Qt::Key_A, Qt::ControlModifier);
        for (const QChar ch : text)
            QTest::keyClick(window(), ch.toLatin1());
    }

    qsizetype writesSeen(const Write &write, const QString &text) const
    {
        if (write.path.isEmpty())
            return 0;
        return m_tally->count("POST", write.path, write.marker.isEmpty() ? text.toUtf8() : write.marker);
    }

    // The path of the service's list for the record, each {key} taken from a request the relay has
    // passed on that names it: the write's body, or a read of the screen's; empty while none has.
    QString recordsPath(const Write &write) const
    {
        QString path = write.records.isEmpty() ? QStringLiteral("profile.php?user_id=1") : write.records;
        for (const char *key : {"post_id", "channel_id"}) {
            const QString placeholder = QLatin1Char('{') + QLatin1String(key) + QLatin1Char('}');
            if (!path.contains(placeholder))
                continue;
            std::optional<qint64> id;
            for (const RequestTally::Request &request : m_tally->requests()) {
                const QJsonValue inBody = QJsonDocument::fromJson(request.body).object().value(QLatin1String(key));
                const QString inQuery =
                    QUrlQuery(QUrl(QString::fromUtf8(request.target)).query()).queryItemValue(QLatin1String(key));
                if (inBody.isDouble())
                    id = inBody.toInteger();
                else if (!inQuery.isEmpty())
                    id = inQuery.toLongLong();
            }
            if (!id)
                return {};
            path.replace(placeholder, QString::number(*id));
        }
        return path;
    }

    // How many records the service's list holds (a channel's: its posts); -1 while the screen's
    // read of it has not reached the service.
    int recordCount(const Write &write) const
    {
        const QString path = recordsPath(write);
        if (path.isEmpty())
            return -1;
        const QJsonDocument records = QJsonDocument::fromJson(serviceRecords(path));
        const QJsonArray rows =
            records.isObject() ? records.object().value(QLatin1String("posts")).toArray() : records.array();
        return int(rows.size());
    }

    // The service's list for the record, read through the relay, which by then has passed on what
    // the client sent before. A write with no list still reads one, to let those requests through.
    QByteArray serviceRecords(const Write &write) const { return serviceRecords(recordsPath(write)); }
    QByteArray serviceRecords(const QString &path) const
    {
        QNetworkAccessManager network;
        std::unique_ptr<QNetworkReply> reply(network.get(QNetworkRequest(QUrl(m_tally->baseUrl() + '/' + path))));
        if (!QTest::qWaitFor([&] { return reply->isFinished(); }, VORLANE_PATIENT_WAIT_MS))
            return {};
        return reply->readAll();
    }

    // The sheet's content takes a press at `point` as soon as it starts to slide away.
    bool pressWhenClosing(QObject *sheet, QPointF point, bool &pressedWhileShown)
    {
        auto *pressLater = new QTimer(sheet);
        pressLater->setSingleShot(true);
        pressLater->setInterval(0);
        connect(pressLater, &QTimer::timeout, this, [this, sheet, point, pressLater, &pressedWhileShown] {
            pressedWhileShown = sheet->property("visible").toBool();
            QTest::mouseClick(window(), Qt::LeftButton, {}, point.toPoint());
            // Once only: the flag it sets lives in the test that asked.
            pressLater->deleteLater();
        });
        return connect(sheet, SIGNAL(aboutToHide()), pressLater, SLOT(start()));
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(startService());
        m_tally = std::make_unique<RequestTally>(m_service.port());
        QVERIFY(m_tally->listen());
    }
    void init()
    {
        ++m_serial;
        QVERIFY(openApp());
        NetworkManager::shared().setBaseURL(m_tally->baseUrl());
        m_tally->clear();
    }
    void cleanup() { closeApp(); }

    // The tally counts what the service answered. A request lost on a connection closed under it,
    // which the client then sends again, counts once, as it made one record.
    void tallyCountsARequestSentAgainOnce()
    {
        ScriptedResponder service;
        service.reply(QByteArray()); // the first connection closes unanswered
        service.reply(200, R"({"success":true})");
        RequestTally tally(service.port());
        QVERIFY(tally.listen());
        QNetworkAccessManager network;
        QNetworkRequest request(QUrl(tally.baseUrl() + QStringLiteral("/channels.php")));
        request.setHeader(QNetworkRequest::ContentTypeHeader, QByteArrayLiteral("application/json"));
        std::unique_ptr<QNetworkReply> reply(network.post(request, QByteArrayLiteral(R"({"action":"create"})")));
        QVERIFY(QTest::qWaitFor([&] { return reply->isFinished(); }, VORLANE_PATIENT_WAIT_MS));
        QCOMPARE(reply->error(), QNetworkReply::NoError);
        QCOMPARE(service.requests().size(), 2);
        QCOMPARE(tally.count("POST", "/api/channels.php", R"("action":"create")"), 1);
    }

    void onePressSequenceMakesOneRecord_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<Press>("press");
        QStringList names = writes().keys();
        names.sort();
        for (const QString &name : names) {
            QTest::addRow("%s, two clicks", qPrintable(name)) << name << Press::TwoClicks;
            QTest::addRow("%s, double-click", qPrintable(name)) << name << Press::DoubleClick;
            QTest::addRow("%s, press after it is stored", qPrintable(name)) << name << Press::AfterStored;
        }
    }
    void onePressSequenceMakesOneRecord()
    {
        QFETCH(QString, name);
        QFETCH(Press, press);
        const Write &write = writes()[name];
        const QString text = uniqueText(name);

        auto *session = window()->property("authViewModel").value<AuthViewModel *>();
        QVERIFY(session);
        if (write.signedOut)
            session->logout();
        QVERIFY(tapAll(write.taps));
        for (const auto &[field, typed] : write.typed)
            typeInto(field, typed == Unique ? text : typed);
        if (write.pick) {
            QVERIFY(tapName(write.pick->first));
            QQuickWindow *dialog = nullptr;
            QTRY_VERIFY((dialog = shownDialog()) != nullptr);
            QVERIFY(choose(dialog, write.pick->second));
            QTRY_VERIFY(!item(write.picker));
        }
        QPointer<QQuickItem> list = write.list.isEmpty() ? nullptr : waitFor(write.list);
        QVERIFY(write.list.isEmpty() || list);
        // Counted once it shows what the service holds: its own load, still on its way, would
        // otherwise land after the count (or, ending after the write, write last).
        if (list && !write.records.isEmpty()) {
            int held = -1;
            QTRY_VERIFY((held = recordCount(write)) >= 0);
            QTRY_COMPARE(list->property("count").toInt(), held);
        }
        const int listed = list ? list->property("count").toInt() : 0;
        QObject *sheet = write.sheet.isEmpty() ? nullptr : m_app->findObject(write.sheet);
        QVERIFY(write.sheet.isEmpty() || sheet);
        QSignalSpy busy(session, &AuthViewModel::isLoadingChanged);

        const QPointF point = settledCentre(write.button);
        QVERIFY(point.x() >= 0);
        bool pressedWhileShown = false;
        switch (press) {
        case Press::TwoClicks:
            QTest::mouseClick(window(), Qt::LeftButton, {}, point.toPoint());
            QTest::mouseClick(window(), Qt::LeftButton, {}, point.toPoint());
            break;
        case Press::DoubleClick:
            QTest::mouseDClick(window(), Qt::LeftButton, {}, point.toPoint());
            break;
        case Press::AfterStored:
            if (sheet)
                QVERIFY(pressWhenClosing(sheet, point, pressedWhileShown));
            QTest::mouseClick(window(), Qt::LeftButton, {}, point.toPoint());
            break;
        }

        // Stored: the sheet is gone, the list has the record, the sign-in screen made way.
        if (sheet)
            QTRY_VERIFY(!sheet->property("visible").toBool());
        if (list)
            QTRY_VERIFY(list->property("count").toInt() > listed);
        if (write.signedOut)
            QTRY_VERIFY(session->currentUser().has_value() && !item(QStringLiteral("submitButton")));
        if (press == Press::AfterStored && sheet)
            QVERIFY2(pressedWhileShown, "the second press came after the sheet had gone");
        if (press == Press::AfterStored && !sheet)
            QTest::mouseClick(window(), Qt::LeftButton, {}, point.toPoint());

        const QByteArray records = serviceRecords(write);
        // A press as the sheet closes never reaches a form.
        const int sent = write.sendsEachPress && press != Press::AfterStored ? 2 : 1;
        if (!write.path.isEmpty())
            QTRY_COMPARE(writesSeen(write, text), sent);
        if (!write.records.isEmpty())
            QCOMPARE(records.count(text.toUtf8()), 1);
        if (list)
            QCOMPARE(list->property("count").toInt(), listed + 1);
        if (write.signedOut)
            QCOMPARE(busy.count(), 2); // busy once, then done
    }
};

QTEST_MAIN(TestWindowWrites)
#include "tst_window_writes.moc"
