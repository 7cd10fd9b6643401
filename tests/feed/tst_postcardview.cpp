#include "AudioPlayerManager.h"
#include "FeedTestPosts.h"
#include "FeedViewModel.h"
#include "QmlSnippet.h"
#include "RandomDraw.h"
#include "ScriptedResponder.h"
#include "SiteAddress.h"
#include "app/ScreenDriver.h"
#include "audio/FakePlayerBackend.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QImage>
#include <QQuickItem>
#include <QRegularExpression>
#include <QTest>

using namespace FeedTestPosts;
using Kind = PostAttachment::AttachmentType;
using ScreenDriver::findIn;

// The post card alone: a list of cards over rows made here, inside a navigation stack, with no
// actions handed in (as on the profile wall).
class TestPostCardView : public QObject
{
    Q_OBJECT

    std::shared_ptr<FakePlayerBackend::World> m_world = std::make_shared<FakePlayerBackend::World>();
    ScriptedResponder m_pictures;
    QString m_photo;
    RecordListModel<Post> m_rows{FeedViewModel::postRoles()};
    std::unique_ptr<QmlSnippet> m_screen;

    static constexpr const char *Scene = R"(
import QtQuick
import QtQuick.Controls
import Vorlane
NavigationStack {
    id: navigation
    width: 390
    height: 844
    property alias rows: list.model
    initialItem: Rectangle {
        readonly property string title: "Лента"
        color: Theme.groupedBackground
        ListView {
            id: list
            objectName: "cards"
            anchors.fill: parent
            spacing: 8
            delegate: PostCardView {
                width: ListView.view.width
                objectName: "card" + postId
                navigationStack: navigation.stack
            }
        }
    }
}
)";

    QQuickItem *inCard(qint64 postId, const QString &name) const
    {
        auto *card = m_screen->find<QQuickItem>(QStringLiteral("card%1").arg(postId));
        return card ? findIn(card, name) : nullptr;
    }

    void show(const QList<Post> &posts)
    {
        // Emptied first, so that the card found is one made for these posts.
        const QString card = QStringLiteral("card%1").arg(posts.first().id);
        m_rows.setRows({});
        QTRY_VERIFY(!m_screen->find<QQuickItem>(card));
        m_rows.setRows(posts);
        QTRY_VERIFY(m_screen->find<QQuickItem>(card));
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(AudioPlayerManager::useBackendForShared(std::make_unique<FakePlayerBackend>(m_world)));
        QImage picture(320, 240, QImage::Format_RGB32);
        picture.fill(Qt::darkCyan);
        m_photo = m_pictures.servePicture(picture);
        m_screen = std::make_unique<QmlSnippet>(Scene);
        QVERIFY2(m_screen->isReady(), qPrintable(m_screen->errors()));
        m_screen->root()->setProperty("rows", QVariant::fromValue(static_cast<QObject *>(&m_rows)));
    }

    void cleanup() { RandomDraw::shared() = RandomDraw(); }

    // The header names the channel, else the author; the text shows unless empty; the counts are the post's.
    void cardShowsTheHeaderTextAndCounts_data()
    {
        QTest::addColumn<std::optional<QString>>("channel");
        QTest::addColumn<bool>("verified");
        QTest::addColumn<bool>("online");
        QTest::addColumn<QString>("shownName");
        QTest::addColumn<QString>("text");
        QTest::newRow("author, no text") << std::optional<QString>() << false << false << QStringLiteral("Иван Петров")
                                         << QString();
        QTest::newRow("verified and online, blanks shown as they are")
            << std::optional<QString>() << true << true << QStringLiteral("Иван Петров") << QStringLiteral("   ");
        QTest::newRow("channel") << std::optional<QString>(QStringLiteral("Джаз по вечерам")) << true << false
                                 << QStringLiteral("Джаз по вечерам") << QStringLiteral("Вечерний город");
        QTest::newRow("empty channel name")
            << std::optional<QString>(QString()) << false << true << QString() << QStringLiteral("Привет");
    }
    void cardShowsTheHeaderTextAndCounts()
    {
        QFETCH(std::optional<QString>, channel);
        QFETCH(bool, verified);
        QFETCH(bool, online);
        QFETCH(QString, shownName);
        QFETCH(QString, text);
        User by = author();
        by.isVerified = verified;
        by.isOnline = online;
        Post item = post(1, text, by);
        item.channelName = channel;
        show({item});
        QCOMPARE(ScreenDriver::text(inCard(1, QStringLiteral("postHeaderName"))), shownName);
        QCOMPARE(inCard(1, QStringLiteral("verifiedSeal"))->isVisible(), verified);
        QCOMPARE(inCard(1, QStringLiteral("onlineDot"))->isVisible(), online);
        QCOMPARE(ScreenDriver::text(inCard(1, QStringLiteral("postTime"))), QStringLiteral("5 минут назад"));
        QCOMPARE(inCard(1, QStringLiteral("postText"))->isVisible(), !text.isEmpty());
        QCOMPARE(ScreenDriver::text(inCard(1, QStringLiteral("postText"))), text);
        QCOMPARE(ScreenDriver::text(inCard(1, QStringLiteral("likeButtonCount"))), QStringLiteral("3"));
        QCOMPARE(ScreenDriver::text(inCard(1, QStringLiteral("viewsCount"))), QStringLiteral("40"));
    }

    void attachmentsShowPicturesAndAudioOnly()
    {
        Post item = post(3, QStringLiteral("Вложения"));
        const QString photo = m_photo;
        item.attachments = {
            attachment(QStringLiteral("v"), Kind::video, QStringLiteral("http://127.0.0.1/clip.avi")),
            attachment(QStringLiteral("bad"), Kind::image, QStringLiteral("http://bad host/a b.png")),
            attachment(QStringLiteral("empty"), Kind::image, QString()),
            attachment(QStringLiteral("pic"), Kind::image, photo),
            attachment(QStringLiteral("snd"), Kind::audio, QStringLiteral("http://127.0.0.1/tune.wav")),
        };
        item.attachments.last().title = QStringLiteral("Утренний ритм");
        show({item});
        for (const char *hidden : {"attachment_v", "attachment_bad", "attachment_empty"})
            QVERIFY2(!inCard(3, QLatin1String(hidden))->isVisible(), hidden);
        QQuickItem *picture = inCard(3, QStringLiteral("attachment_pic"));
        QQuickItem *audio = inCard(3, QStringLiteral("attachment_snd"));
        QVERIFY(picture->isVisible() && audio->isVisible());
        // Order kept: the picture above the audio row.
        QVERIFY(picture->y() < audio->y());
        // Once loaded, the picture keeps its own 4:3 shape across the card's width.
        QTRY_VERIFY(!findIn(picture, QStringLiteral("postPicturePlaceholder"))->isVisible());
        QCOMPARE(qRound(picture->height()), qRound(picture->width() * 3 / 4));
        QCOMPARE(ScreenDriver::text(findIn(audio, QStringLiteral("audioTitle"))), QStringLiteral("Утренний ритм"));
        QCOMPARE(ScreenDriver::text(findIn(audio, QStringLiteral("audioSubtitle"))), QStringLiteral("Исполнитель"));
    }

    // Every card has its divider above the action bar: a whole visible line 12 below what comes
    // before it and 12 above the buttons, drawn in the separator's colour whatever the text's
    // height puts it at.
    void everyCardDrawsItsDivider()
    {
        QList<Post> posts{post(11, QStringLiteral("Одна строка")),
                          post(12, QStringLiteral("Две строки текста, и этот текст достаточно длинный, чтобы "
                                                  "перенестись")),
                          post(13, QString()),
                          post(14, QStringLiteral("Три строки: ") + QStringLiteral("слово ").repeated(22)),
                          post(15, QStringLiteral("Со звуком"))};
        posts.last().attachments = {
            attachment(QStringLiteral("s"), Kind::audio, QStringLiteral("http://127.0.0.1/tune.wav"))};
        show(posts);
        const QImage shot = m_screen->window()->grabWindow();
        // The separator (#3C3C43 at 29 %) over the card's white.
        const QColor line(198, 198, 200);
        int drawn = 0;
        for (const Post &shown : std::as_const(posts)) {
            QQuickItem *divider = inCard(shown.id, QStringLiteral("postDivider"));
            QVERIFY2(divider && divider->isVisible(), qPrintable(shown.text));
            const QList<QQuickItem *> column = divider->parentItem()->childItems();
            const qsizetype at = column.indexOf(divider);
            QQuickItem *above = nullptr;
            for (qsizetype i = at - 1; i >= 0 && !above; --i)
                above = column.at(i)->isVisible() && column.at(i)->height() > 0 ? column.at(i) : nullptr;
            QVERIFY(above);
            QCOMPARE(divider->y(), above->y() + above->height() + 12);
            QCOMPARE(column.at(at + 1)->y(), divider->y() + divider->height() + 12);

            // A renderer that fills the pixels whose centres a shape covers (the OpenGL one of a real
            // window) draws the line only if it spans a row's centre, wherever the card stands.
            const QRectF span = divider->mapRectToScene(QRectF(0, 0, divider->width(), divider->height()));
            const qreal centre = std::ceil(span.top() - 0.5) + 0.5;
            QVERIFY2(centre < span.bottom(),
                     qPrintable(QStringLiteral("card %1 at y %2").arg(shown.id).arg(span.top())));

            const QPointF middle = divider->mapToScene(QPointF(divider->width() / 2, 0.5));
            if (middle.y() + 1 >= shot.height())
                continue;
            const auto isLine = [&](int row) {
                const QColor seen = shot.pixelColor(int(middle.x()), row);
                return qAbs(seen.red() - line.red()) <= 4 && qAbs(seen.green() - line.green()) <= 4 &&
                       qAbs(seen.blue() - line.blue()) <= 4;
            };
            // The one row under the line's middle, and the card's white just above and below it.
            const int row = int(middle.y());
            QVERIFY2(isLine(row), qPrintable(QStringLiteral("card %1 at y %2").arg(shown.id).arg(middle.y())));
            QCOMPARE(shot.pixelColor(int(middle.x()), row - 2), QColor(Qt::white));
            QCOMPARE(shot.pixelColor(int(middle.x()), row + 2), QColor(Qt::white));
            ++drawn;
        }
        QVERIFY(drawn >= 4);
    }

    // An audio row without names shows its own fallbacks; the track it plays carries others.
    // A drawn track id that equals the current track's is drawn again, so the tap starts this
    // attachment instead of pausing what plays.
    void audioRowPlaysAFreshTrack()
    {
        Post item = post(4, QString());
        item.attachments = {attachment(QStringLiteral("a"), Kind::audio, QStringLiteral("http://127.0.0.1/one.wav"))};
        show({item});
        QQuickItem *audio = inCard(4, QStringLiteral("attachment_a"));
        QCOMPARE(ScreenDriver::text(findIn(audio, QStringLiteral("audioTitle"))), QStringLiteral("Аудиозапись"));
        QCOMPARE(ScreenDriver::text(findIn(audio, QStringLiteral("audioSubtitle"))), QStringLiteral("Исполнитель"));

        QList<qint64> draws = {500, 500, 731};
        RandomDraw::shared().setGenerator([&draws](qint64, qint64) { return draws.takeFirst(); });
        QQuickItem *play = findIn(audio, QStringLiteral("audioPlayButton"));
        ScreenDriver::tap(m_screen->window(), play);
        AudioPlayerManager &player = AudioPlayerManager::shared();
        QCOMPARE(player.currentTrack(),
                 std::optional<Track>(Track{.id = 500,
                                            .title = QStringLiteral("Трек"),
                                            .artist = QStringLiteral("Артист"),
                                            .durationSeconds = 180,
                                            .audioUrl = QStringLiteral("http://127.0.0.1/one.wav")}));

        ScreenDriver::tap(m_screen->window(), play);
        QCOMPARE(player.currentTrack()->id, 731);
        QVERIFY(player.isPlaying());
        QCOMPARE(m_world->last()->url, QUrl(QStringLiteral("http://127.0.0.1/one.wav")));
        QCOMPARE(m_world->last()->pauses(), 0);
    }

    void copyLinkPutsAFreshLinkOnTheClipboardAndSaysSo()
    {
        show({post(-42, QStringLiteral("Ссылка"))});
        const QRegularExpression form(QStringLiteral("^") + QRegularExpression::escape(SiteAddress::root()) +
                                      QStringLiteral("/post/-42_[a-z0-9]{8}$"));
        QStringList links;
        for (int copy = 0; copy < 2; ++copy) {
            ScreenDriver::tap(m_screen->window(), inCard(-42, QStringLiteral("postMenuButton")));
            auto *copyItem = m_screen->find<QQuickItem>(QStringLiteral("copyLinkItem"));
            QVERIFY(copyItem);
            QTRY_VERIFY(copyItem->isVisible());
            QCOMPARE(ScreenDriver::text(copyItem), QStringLiteral("Скопировать ссылку (/post/...)"));
            // Both entries read whole, and the menu stays on the screen.
            auto *repostItem = m_screen->find<QQuickItem>(QStringLiteral("repostMenuItem"));
            QCOMPARE(ScreenDriver::text(repostItem), QStringLiteral("Репостнуть на свою страницу"));
            for (QQuickItem *entry : {copyItem, repostItem})
                QVERIFY2(entry->width() >= entry->implicitWidth(), qPrintable(ScreenDriver::text(entry)));
            const QRectF menuArea = copyItem->mapRectToScene(QRectF(0, 0, copyItem->width(), copyItem->height()));
            QVERIFY(menuArea.left() >= 0 && menuArea.right() <= m_screen->window()->width());
            ScreenDriver::tap(m_screen->window(), copyItem);
            auto *alert = m_screen->find(QStringLiteral("copiedAlert"));
            QTRY_VERIFY(alert->property("opened").toBool());
            QCOMPARE(alert->property("title").toString(), QStringLiteral("Ссылка скопирована"));
            QCOMPARE(ScreenDriver::text(m_screen->find<QQuickItem>(QStringLiteral("copiedAlertMessage"))),
                     QStringLiteral("Уникальная ссылка на пост скопирована в буфер обмена."));
            const QString link = QGuiApplication::clipboard()->text();
            QVERIFY2(form.match(link).hasMatch(), qPrintable(link));
            links << link;
            auto *ok = m_screen->find<QQuickItem>(QStringLiteral("copiedAlertOk"));
            QCOMPARE(ScreenDriver::text(ok), QStringLiteral("OK"));
            ScreenDriver::tap(m_screen->window(), ok);
            QTRY_VERIFY(!alert->property("visible").toBool());
        }
        QVERIFY(links.at(0) != links.at(1));
    }
};

QTEST_MAIN(TestPostCardView)
#include "tst_postcardview.moc"
