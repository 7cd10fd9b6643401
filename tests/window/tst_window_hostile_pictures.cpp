#include "CraftedPictures.h"
#include "FlatPng.h"
#include "MemoryPeak.h"
#include "ScreenDriver.h"
#include "WindowTest.h"

#include <QDir>
#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QTest>

using namespace ScreenDriver;

namespace {

constexpr qint64 kibPerMib = 1024;
// What the window itself takes meanwhile: a screen made, a sheet and a file dialog opened.
#if defined(__SANITIZE_ADDRESS__)
// The sanitizer keeps up to 256 MiB of freed memory aside, and shadows an eighth of what is used.
constexpr qint64 slackKb = (64 + 256) * kibPerMib;
#else
constexpr qint64 slackKb = 64 * kibPerMib;
#endif
// The network's bound and the photo picker's, as the README states them.
constexpr qint64 networkBoundKb = 128 * kibPerMib;
constexpr qint64 pickedBoundKb = 256 * kibPerMib;
// A sanitized build on a loaded machine decodes a hundred megapixels in many seconds.
constexpr int patience = VORLANE_PATIENT_WAIT_MS;

} // namespace

// Hostile pictures and large honest ones, each as a post's photo in the feed, as the profile's cover
// and picked in the photo picker, through the application's own window: what shows, and how much the
// client's resident memory grew meanwhile.
class TestWindowHostilePictures : public WindowTest
{
    Q_OBJECT

    QNetworkAccessManager m_network;

    // A write to the service, as a member's client makes it: the reply's "data", or {"done": true}
    // when it has none; empty when the service refused it.
    QJsonObject post(const QString &endpoint, const QJsonObject &body)
    {
        QNetworkRequest request(QUrl(m_service.baseUrl() + QLatin1Char('/') + endpoint));
        request.setHeader(QNetworkRequest::ContentTypeHeader, QByteArrayLiteral("application/json"));
        QNetworkReply *reply = m_network.post(request, QJsonDocument(body).toJson());
        if (!QTest::qWaitFor([reply] { return reply->isFinished(); }, patience))
            return {};
        reply->deleteLater();
        const QJsonObject answer = QJsonDocument::fromJson(reply->readAll()).object();
        if (!answer.value(QLatin1String("success")).toBool())
            return {};
        const QJsonObject data = answer.value(QLatin1String("data")).toObject();
        return data.isEmpty() ? QJsonObject{{QStringLiteral("done"), true}} : data;
    }

    // Stored by the service as if uploaded; its address.
    QString store(const QString &name, const QByteArray &bytes)
    {
        const QDir uploads(m_service.mediaDir() + QStringLiteral("/uploads"));
        QFile file(uploads.filePath(name));
        if (!uploads.mkpath(QStringLiteral(".")) || !file.open(QIODevice::WriteOnly) ||
            file.write(bytes) != bytes.size())
            return {};
        return m_service.siteUrl() + QStringLiteral("/media/uploads/") + name;
    }

    static bool settled(QQuickItem *picture)
    {
        const int status = picture->property("status").toInt();
        return status == 2 || status == 3; // RoundedImage.Ready, RoundedImage.Error
    }

    // Peak resident growth while `work` runs, in KiB; -1 when the kernel cannot tell.
    static qint64 growthDuring(const std::function<bool()> &work, bool *done)
    {
        MemoryPeak peak;
        if (!peak.beginRound())
            return -1;
        *done = work();
        peak.endRound();
        return peak.growthKb();
    }

private Q_SLOTS:
    // One window for every row: each row adds a post, sets the cover and picks again.
    void initTestCase()
    {
        QVERIFY(startService());
        QVERIFY(openApp());
    }
    void cleanupTestCase() { closeApp(); }

    void eachPictureShowsOrIsRefusedWithinItsBound_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("suffix");
        QTest::addColumn<bool>("shown");
        QTest::newRow("GIF of 35 bytes, a 16,000-pixel screen") << CraftedPictures::gif(16000) << "gif" << false;
        QTest::newRow("progressive JPEG claiming 20,000 a side")
            << CraftedPictures::jpeg(20000, true, 0x11) << "jpg" << false;
        // 309 MiB decoded whole: past both bounds.
        QTest::newRow("interlaced PNG of 81 MP") << FlatPng::encode({9000, 9000}, 8, true) << "png" << false;
        // 366 MiB had it been decoded whole, as Qt's reader does a 16-bit PNG.
        QTest::newRow("16-bit PNG of 48 MP") << FlatPng::encode({8000, 6000}, 16, false) << "png" << true;
        QTest::newRow("plain PNG of 100 MP") << FlatPng::encode({10000, 10000}, 8, false) << "png" << true;
    }
    void eachPictureShowsOrIsRefusedWithinItsBound()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, suffix);
        QFETCH(bool, shown);
        QVERIFY(!bytes.isEmpty());
        const QString tag = QString::number(qHash(QByteArray(QTest::currentDataTag()))) + QLatin1Char('.') + suffix;
        const QString postPhoto = store(QStringLiteral("post-") + tag, bytes);
        const QString cover = store(QStringLiteral("cover-") + tag, bytes);
        QVERIFY(writeFile(QStringLiteral("picked-") + tag, bytes));

        // As a post's photo: the feed, shown again, loads the new post.
        const QJsonObject created = post(QStringLiteral("feed.php"), {{QStringLiteral("user_id"), 1},
                                                                      {QStringLiteral("text"), QStringLiteral("Фото")},
                                                                      {QStringLiteral("image_url"), postPhoto}});
        const QString card = QStringLiteral("postCard_%1").arg(created.value(QLatin1String("id")).toInteger());
        QVERIFY(!created.isEmpty());
        bool done = false;
        qint64 grown = growthDuring(
            [&] {
                QQuickItem *picture = nullptr;
                return tapAll({"tabButton1", "tabButton0"}) &&
                       QTest::qWaitFor([&] { return item(card) != nullptr; }, patience) &&
                       QTest::qWaitFor([&] { return (picture = findIn(item(card), "postPictureImage")); }, patience) &&
                       QTest::qWaitFor([&] { return settled(picture); }, patience) &&
                       (picture->property("status").toInt() == 2) == shown;
            },
            &done);
        QVERIFY2(done, "post photo");
        QVERIFY2(grown < networkBoundKb + slackKb, qPrintable(QString::number(grown)));

        // As the profile's cover.
        QVERIFY(
            !post(QStringLiteral("profile.php"), {{QStringLiteral("user_id"), 1}, {QStringLiteral("cover_url"), cover}})
                 .isEmpty());
        grown = growthDuring(
            [&] {
                QQuickItem *picture = nullptr;
                // The profile screen loads the profile again each time it comes into view.
                return tapAll({"tabButton1", "tabButton4"}) &&
                       QTest::qWaitFor(
                           [&] {
                               picture = m_app->find(QStringLiteral("coverImage"));
                               return picture && picture->property("source").toUrl() == QUrl(cover) && settled(picture);
                           },
                           patience) &&
                       (picture->property("status").toInt() == 2) == shown;
            },
            &done);
        QVERIFY2(done, "cover");
        QVERIFY2(grown < networkBoundKb + slackKb, qPrintable(QString::number(grown)));

        // Picked: the editing step shows it, or the picker closes with nothing.
        grown = growthDuring(
            [&] {
                QQuickWindow *dialog = nullptr;
                if (!tapAll({"tabButton0", "composerButton", "pickPhotoButton"}) ||
                    !QTest::qWaitFor([&] { return (dialog = shownDialog()) != nullptr; }, patience) ||
                    !choose(dialog, QStringLiteral("picked-") + tag))
                    return false;
                if (shown)
                    return QTest::qWaitFor([this] { return item(QStringLiteral("cropFrame")) != nullptr; }, patience);
                return QTest::qWaitFor([this] { return !isOpen("photoPickerSheet"); }, patience) &&
                       isOpen("composerSheet");
            },
            &done);
        QVERIFY2(done, "picker");
        QVERIFY2(grown < pickedBoundKb + slackKb, qPrintable(QString::number(grown)));
        // Escape gives up the photo; «Отмена» closes the composer for the next row.
        if (shown) {
            key(Qt::Key_Escape);
            QTRY_VERIFY(!isOpen("photoPickerSheet"));
        }
        QVERIFY(tapName(QStringLiteral("cancelButton")));
        QTRY_VERIFY(!isOpen("composerSheet"));
    }
};

QTEST_MAIN(TestWindowHostilePictures)
#include "tst_window_hostile_pictures.moc"
