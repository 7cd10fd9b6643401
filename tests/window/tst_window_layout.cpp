#include "AudioPlayerManager.h"
#include "ScreenDriver.h"
#include "WindowTest.h"

#include <QLoggingCategory>
#include <QSignalSpy>
#include <QTest>

using namespace ScreenDriver;

namespace {

// Rows of texts and buttons side by side at the top of a screen or segment: the rows the screens
// name "…HeaderRow", and the bars and pickers every tab has.
bool isHeaderRow(const QQuickItem *item)
{
    static const QStringList bars{"navigationBar", "segmentPicker", "channelSegments", "tabBar"};
    const QString name = item->objectName();
    return name.endsWith(QLatin1String("HeaderRow")) || bars.contains(name);
}

void collectHeaderRows(QQuickItem *item, QList<QQuickItem *> &rows)
{
    if (!item->isVisible())
        return;
    if (isHeaderRow(item))
        rows << item;
    for (QQuickItem *child : item->childItems())
        collectHeaderRows(child, rows);
}

bool isText(const QQuickItem *item)
{
    return item->inherits("QQuickText");
}

void collectLabels(QQuickItem *item, QList<QQuickItem *> &labels)
{
    if (!item->isVisible() || item->width() <= 0 || item->height() <= 0)
        return;
    if (item->inherits("QQuickAbstractButton") || (isText(item) && !item->property("text").toString().isEmpty()))
        labels << item;
    for (QQuickItem *child : item->childItems())
        collectLabels(child, labels);
}

// Where a text's letters are, in the window: its box may be wider than what it draws.
QRectF paintedRect(const QQuickItem *item)
{
    if (!isText(item))
        return item->mapRectToScene(QRectF(0, 0, item->width(), item->height()));
    const qreal w = item->property("contentWidth").toReal();
    const qreal h = item->property("contentHeight").toReal();
    const int horizontal = item->property("effectiveHorizontalAlignment").toInt();
    const int vertical = item->property("verticalAlignment").toInt();
    const qreal x = horizontal & Qt::AlignRight     ? item->width() - w
                    : horizontal & Qt::AlignHCenter ? (item->width() - w) / 2
                                                    : 0;
    const qreal y = vertical & Qt::AlignBottom    ? item->height() - h
                    : vertical & Qt::AlignVCenter ? (item->height() - h) / 2
                                                  : 0;
    return item->mapRectToScene(QRectF(x, y, w, h));
}

QString describe(const QQuickItem *item)
{
    const QString text = item->property("text").toString();
    const QString name =
        item->objectName().isEmpty() ? QString::fromLatin1(item->metaObject()->className()) : item->objectName();
    return text.isEmpty() ? name : QStringLiteral("%1 «%2»").arg(name, text);
}

// Within one header row: no text cut, none off the window's edges, no two labels over each other
// (a button and the texts inside it are one label).
QStringList headerProblems(QQuickItem *row, qreal windowWidth)
{
    QList<QQuickItem *> labels;
    collectLabels(row, labels);
    QStringList problems;
    const QString where = row->objectName() + QLatin1String(": ");
    for (QQuickItem *label : labels) {
        const QRectF rect = paintedRect(label);
        if (isText(label) && label->property("truncated").toBool())
            problems << where + describe(label) + QLatin1String(" is cut");
        if (rect.left() < -0.5 || rect.right() > windowWidth + 0.5)
            problems << where + describe(label) + QLatin1String(" runs off the window");
    }
    for (qsizetype i = 0; i < labels.size(); ++i) {
        for (qsizetype j = i + 1; j < labels.size(); ++j) {
            QQuickItem *a = labels[i], *b = labels[j];
            if (a->isAncestorOf(b) || b->isAncestorOf(a))
                continue;
            const QRectF overlap = paintedRect(a) & paintedRect(b);
            if (overlap.width() > 0.5 && overlap.height() > 0.5)
                problems << where + describe(a) + QLatin1String(" overlaps ") + describe(b);
        }
    }
    return problems;
}

} // namespace

// The window at its narrowest: every tab and every segment, each header clear of its neighbours. And
// the mini player over a track that cannot play.
class TestWindowLayout : public WindowTest
{
    Q_OBJECT

    // Where every label of the header rows is drawn.
    QList<QRectF> headerLabels() const
    {
        QList<QQuickItem *> rows;
        collectHeaderRows(window()->contentItem(), rows);
        QList<QQuickItem *> labels;
        for (QQuickItem *row : std::as_const(rows))
            collectLabels(row, labels);
        QList<QRectF> placed;
        for (const QQuickItem *label : std::as_const(labels))
            placed << paintedRect(label);
        return placed;
    }

    // Frames drawn until two in a row show the header labels in the same places: the layouts are
    // placed at a frame, and the segments' pages and thumb slide over several. Frames, not a span of
    // time: a loaded machine draws few of them in it.
    bool headersSettled()
    {
        QList<QRectF> last;
        for (int frame = 0; frame < 600; ++frame) {
            QSignalSpy drawn(window(), &QQuickWindow::frameSwapped);
            window()->update();
            if (!drawn.wait(VORLANE_PATIENT_WAIT_MS))
                return false;
            const QList<QRectF> placed = headerLabels();
            if (frame > 0 && placed == last)
                return true;
            last = placed;
        }
        return false;
    }

private Q_SLOTS:
    void initTestCase() { QVERIFY(startService()); }
    void init() { QVERIFY(openApp()); }
    void cleanup() { closeApp(); }

    void everyHeaderStaysClearAtTheNarrowestWidth_data()
    {
        QTest::addColumn<QString>("tab");
        QTest::addColumn<QString>("segment");
        // What shows once the segment has loaded: an item and its property that is no longer empty.
        QTest::addColumn<QString>("loaded");
        QTest::addColumn<QByteArray>("loadedProperty");
        QTest::addColumn<QStringList>("rows");
        const QStringList feed{"navigationBar", "segmentPicker", "tabBar"};
        const QStringList channels{"navigationBar", "channelSegments", "channelHeaderRow", "tabBar"};
        const QStringList music{"navigationBar", "segmentPicker", "tabBar"};
        QTest::newRow("news, recommended") << "tabButton0"
                                           << "segment0"
                                           << "feedList" << QByteArray("count") << feed;
        QTest::newRow("news, subscriptions") << "tabButton0"
                                             << "segment1"
                                             << "segmentPicker" << QByteArray("visible") << feed;
        QTest::newRow("channels, catalogue") << "tabButton1"
                                             << "segment0"
                                             << "channelList" << QByteArray("count") << channels;
        QTest::newRow("channels, own") << "tabButton1"
                                       << "segment1"
                                       << "channelList" << QByteArray("count") << channels;
        QTest::newRow("music, tracks") << "tabButton2"
                                       << "segment0"
                                       << "trackList" << QByteArray("count") << music + QStringList{"trackHeaderRow"};
        QTest::newRow("music, albums") << "tabButton2"
                                       << "segment1"
                                       << "albumList" << QByteArray("count") << music + QStringList{"albumHeaderRow"};
        QTest::newRow("music, playlists")
            << "tabButton2"
            << "segment2"
            << "playlistList" << QByteArray("visible") << music + QStringList{"playlistHeaderRow"};
        QTest::newRow("video") << "tabButton3" << QString() << "videoList" << QByteArray("count")
                               << QStringList{"navigationBar", "videoHeaderRow", "tabBar"};
        QTest::newRow("profile") << "tabButton4" << QString() << "profileName" << QByteArray("text")
                                 << QStringList{"profileHeaderRow", "tabBar"};
    }
    void everyHeaderStaysClearAtTheNarrowestWidth()
    {
        QFETCH(QString, tab);
        QFETCH(QString, segment);
        QFETCH(QString, loaded);
        QFETCH(QByteArray, loadedProperty);
        QFETCH(QStringList, rows);
        window()->resize(360, 640);
        QTRY_COMPARE(window()->contentItem()->width(), 360.0);
        QVERIFY(tapName(tab));
        if (!segment.isEmpty())
            QVERIFY(tapName(segment));
        QTRY_VERIFY2(
            [&] {
                const QQuickItem *content = item(loaded);
                const QVariant value = content ? content->property(loadedProperty.constData()) : QVariant();
                return value.typeId() == QMetaType::Int ? value.toInt() > 0 : value.toBool();
            }(),
            qPrintable(loaded));
        QTRY_VERIFY(!anyStackBusy(window()->contentItem()));
        // Laid out at the next frames, and still moving for a moment after the tap.
        QVERIFY(headersSettled());

        QList<QQuickItem *> found;
        collectHeaderRows(window()->contentItem(), found);
        QStringList names;
        for (const QQuickItem *row : found)
            names << row->objectName();
        for (const QString &row : rows)
            QVERIFY2(names.contains(row), qPrintable(row + QLatin1String(" is not on screen: ") + names.join(u' ')));
        QStringList problems;
        for (QQuickItem *row : found)
            problems << headerProblems(row, window()->contentItem()->width());
        QVERIFY2(problems.isEmpty(), qPrintable(problems.join(u'\n')));
    }

    // The window goes no narrower than 360 × 640, and there the headers stay clear of their buttons.
    void narrowWindowKeepsHeadersApart()
    {
        QCOMPARE(window()->minimumSize(), QSize(360, 640));
        window()->resize(360, 640);
        const QList<std::tuple<QString, QString, QString>> pairs{
            {"tabButton1", "channelSectionHeader", "createChannelHeaderButton"},
            {"tabButton3", "videoHeading", "uploadVideoButton"},
            {"tabButton2", "trackSectionHeader", "uploadTrackButton"}};
        for (const auto &[tab, heading, button] : pairs) {
            QVERIFY(tapName(tab));
            QQuickItem *left = waitFor(heading);
            QQuickItem *right = waitFor(button);
            QVERIFY2(left && right, qPrintable(heading));
            QTRY_COMPARE(window()->contentItem()->width(), 360.0);
            QVERIFY(headersSettled());
            const QRectF a = left->mapRectToScene(
                {0, 0, std::min(left->width(), left->property("contentWidth").toReal()), left->height()});
            const QRectF b = right->mapRectToScene({0, 0, right->width(), right->height()});
            QVERIFY2(!a.intersects(b), qPrintable(heading));
            QVERIFY2(!left->property("truncated").toBool(), qPrintable(heading));
        }
    }

    void warningGuardFailsOnlyOnWhatWasNotDeclared_data()
    {
        QTest::addColumn<QByteArray>("category");
        QTest::addColumn<int>("type");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("declared");
        QTest::addColumn<bool>("fails");
        const QString typeError = QStringLiteral("qrc:/Vorlane/X.qml:3: TypeError: Cannot read property of null");
        QTest::newRow("QML, undeclared") << QByteArray("qml") << int(QtWarningMsg) << typeError << QString() << true;
        QTest::newRow("QML, declared") << QByteArray("qml") << int(QtWarningMsg) << typeError
                                       << QStringLiteral("TypeError") << false;
        QTest::newRow("declared, never came")
            << QByteArray("qml") << int(QtDebugMsg) << typeError << QStringLiteral("TypeError") << true;
        QTest::newRow("Qt Quick critical")
            << QByteArray("qt.quick.dirty") << int(QtCriticalMsg) << QStringLiteral("broken") << QString() << true;
        QTest::newRow("engine teardown") << QByteArray("default") << int(QtWarningMsg)
                                         << QStringLiteral("There are still \"2\" items in the process of being "
                                                           "created at engine destruction.")
                                         << QString() << true;
        QTest::newRow("offscreen platform")
            << QByteArray("default") << int(QtWarningMsg) << QStringLiteral("This plugin does not support raise()")
            << QString() << false;
        QTest::newRow("multimedia") << QByteArray("qt.multimedia.player") << int(QtWarningMsg)
                                    << QStringLiteral("Failed to connect") << QString() << false;
    }
    void warningGuardFailsOnlyOnWhatWasNotDeclared()
    {
        QFETCH(QByteArray, category);
        QFETCH(int, type);
        QFETCH(QString, message);
        QFETCH(QString, declared);
        QFETCH(bool, fails);
        // The window's own guard steps aside for one under test, and comes back for the cleanup.
        m_warnings.reset();
        // The made-up messages stay out of the test log, where they would read as real ones.
        const QtMessageHandler log =
            qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &) {});
        QString problems;
        {
            WarningGuard guard;
            if (!declared.isEmpty())
                guard.expect(QRegularExpression(declared));
            const QLoggingCategory logging(category.constData());
            QMessageLogger logger(nullptr, 0, nullptr, logging.categoryName());
            if (type == QtCriticalMsg)
                logger.critical("%s", qPrintable(message));
            else if (type == QtWarningMsg)
                logger.warning("%s", qPrintable(message));
            else
                logger.debug("%s", qPrintable(message));
            problems = guard.problems();
        }
        qInstallMessageHandler(log);
        m_warnings = std::make_unique<WarningGuard>();
        QCOMPARE(!problems.isEmpty(), fails);
    }

    // Last: the shared player keeps its track for the rest of the program. A track whose audio
    // cannot be decoded, uploaded through the form and played from its row, ends on "play" after
    // the row's tap and after each tap on the mini player's button, each tap a new try.
    void undecodableTrackEndsOnPlayAtEveryTap()
    {
        QVERIFY(writeFile(QStringLiteral("noise.mp3"), QByteArray(4096, 'x')));
        QVERIFY(tapAll({"tabButton2", "uploadTrackButton"}));
        for (const auto &[field, text] :
             {std::pair{"trackTitleField", "Noise"}, std::pair{"trackArtistField", "Tester"}}) {
            QVERIFY(tapName(QLatin1String(field)));
            for (const char *ch = text; *ch; ++ch)
                QTest::keyClick(window(), *ch);
        }
        QVERIFY(tapName(QStringLiteral("audioPickButton")));
        QQuickWindow *dialog = nullptr;
        QTRY_VERIFY((dialog = shownDialog()) != nullptr);
        QVERIFY(choose(dialog, QStringLiteral("noise.mp3")));
        QTRY_VERIFY(!isOpen("audioPickerSheet"));
        QQuickItem *save = item(QStringLiteral("sheetTrailingButton"));
        QTRY_VERIFY(save->isEnabled());
        tap(window(), save);
        QTRY_VERIFY(!isOpen("uploadSheet"));
        QTRY_COMPARE(waitFor(QStringLiteral("trackRow0"))->property("title").toString(), QStringLiteral("Noise"));

        AudioPlayerManager &player = AudioPlayerManager::shared();
        QObject watching;
        QList<bool> shown;
        connect(&player, &AudioPlayerManager::isPlayingChanged, &watching, [&] { shown << player.isPlaying(); });
        const auto symbol = [this] {
            return item(QStringLiteral("miniPlayerButtonSymbol"))->property("symbol").toString();
        };
        QVERIFY(tapName(QStringLiteral("trackRow0")));
        QTRY_COMPARE(shown, (QList<bool>{true, false}));
        QCOMPARE(player.currentTrack()->title, QStringLiteral("Noise"));
        QTRY_COMPARE(symbol(), QStringLiteral("play.fill"));
        for (int tries = 2; tries <= 4; ++tries) {
            QVERIFY(tapName(QStringLiteral("miniPlayerButton")));
            QTRY_COMPARE(shown.size(), 2 * tries);
            QVERIFY(!shown.last());
            QTRY_COMPARE(symbol(), QStringLiteral("play.fill"));
        }
        QVERIFY(!isOpen("playerSheet"));
    }
};

QTEST_MAIN(TestWindowLayout)
#include "tst_window_layout.moc"
