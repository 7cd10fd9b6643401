#include "AudioPlayerManager.h"
#include "ScreenDriver.h"
#include "Track.h"
#include "WindowTest.h"

#include <QGuiApplication>
#include <QTest>
#include <QWheelEvent>

using namespace ScreenDriver;

// Sheets over sheets in the whole window: the wheel zooms the photo's crop step over the composer
// and scrolls the lyrics over the player sheet, and reaches nothing beneath; a picker's file dialog,
// however it ends, leaves the keyboard in the field the user was typing in.
class TestWindowSheets : public WindowTest
{
    Q_OBJECT

    // One notch of a mouse wheel at `at`, as the window system hands it to the window.
    void turnWheel(QPointF at, int notches) const
    {
        QWheelEvent event(at, window()->mapToGlobal(at), {}, QPoint(0, 120 * notches), Qt::NoButton, Qt::NoModifier,
                          Qt::NoScrollPhase, false);
        QGuiApplication::sendEvent(window(), &event);
    }
    void type(const char *text) const
    {
        for (const char *ch = text; *ch; ++ch)
            QTest::keyClick(window(), *ch);
    }
    // The dialog a tap on `button` opens, once it has the keyboard.
    QQuickWindow *openDialog(const QString &button) const
    {
        QQuickWindow *dialog = nullptr;
        return tapName(button) && QTest::qWaitFor([&] { return (dialog = shownDialog()) && dialog->isActive(); })
                   ? dialog
                   : nullptr;
    }

private Q_SLOTS:
    void initTestCase() { QVERIFY(startService()); }
    void init() { QVERIFY(openApp()); }
    void cleanup() { closeApp(); }

    void wheelZoomsTheCropStepOverTheComposer()
    {
        QVERIFY(tapAll({"tabButton0", "composerButton", "postTextEditor"}));
        // Enough lines that the composer's text would scroll, were a turn to reach it.
        for (int line = 0; line < 40; ++line)
            key(Qt::Key_Return);
        // The flickable of the composer's scroll view: a turn that reached it would set it moving at once.
        QQuickItem *textView = item(QStringLiteral("postTextEditor"))->parentItem()->parentItem();
        QQuickWindow *dialog = openDialog(QStringLiteral("pickPhotoButton"));
        QVERIFY(dialog);
        QVERIFY(choose(dialog, QStringLiteral("photo.png")));
        QQuickItem *image = waitFor(QStringLiteral("cropImage"));
        QVERIFY(image);
        QTRY_COMPARE(image->property("status").toInt(), 1); // Image.Ready
        QQuickItem *slider = item(QStringLiteral("zoomSlider"));
        QCOMPARE(slider->property("value").toReal(), 1.0);

        turnWheel(settledCentre(QStringLiteral("cropFrame")), 1);
        QCOMPARE(slider->property("value").toReal(), 1.1);
        // Below the frame lies the composer's text: the turn stays in the sheet on top.
        QQuickItem *controls = item(QStringLiteral("cropControls"));
        turnWheel(controls->mapToScene({controls->width() / 2, -20}), 3);
        QVERIFY(!textView->property("moving").toBool());
        QCOMPARE(slider->property("value").toReal(), 1.1);
    }

    void wheelScrollsTheLyricsOverThePlayerSheet()
    {
        // No track of the service has lyrics long enough to scroll, nor can one be given them: the
        // test plays its own, as a track row would, through the real player.
        QStringList lines;
        for (int line = 1; line <= 60; ++line)
            lines << QStringLiteral("Строка %1").arg(line);
        const Track track{.id = 900,
                          .title = QStringLiteral("Длинная песня"),
                          .artist = QStringLiteral("Хор"),
                          .durationSeconds = 2,
                          .audioUrl = m_service.siteUrl() + QStringLiteral("/media/demo/tune-1.wav"),
                          .lyrics = lines.join(QLatin1Char('\n'))};
        AudioPlayerManager::shared().play(track);
        QVERIFY(tapAll({"miniPlayerTapArea", "lyricsButton"}));
        QQuickItem *lyrics = waitFor(QStringLiteral("lyricsText"));
        QVERIFY(lyrics);
        (void)settledCentre(QStringLiteral("lyricsText"));
        const auto lyricsY = [lyrics] { return lyrics->mapToScene({0, 0}).y(); };
        const qreal lyricsAt = lyricsY();

        turnWheel(QPointF(window()->width() / 2.0, window()->height() * 0.7), -3);
        QTRY_VERIFY(lyricsY() < lyricsAt - 40);
    }

    // Typed, the dialog opened and ended (with the crop step after a photo), typed on: the text
    // arrives whole, and the Space typed on opens no dialog.
    void typingGoesOnAfterTheDialog_data()
    {
        QTest::addColumn<QStringList>("taps"); // to the form and into its field; the last opens the picker
        QTest::addColumn<QString>("sheet");    // the picker's
        QTest::addColumn<QString>("file");     // none: the dialog is cancelled
        QTest::addColumn<int>("endKey");       // Escape in the dialog, or a key at the crop step; 0: «Отмена»
        const QStringList composer{"tabButton0", "composerButton", "postTextEditor", "pickPhotoButton"};
        const QStringList trackForm{"tabButton2", "uploadTrackButton", "trackTitleField", "audioPickButton"};
        QTest::newRow("composer, «Отмена»") << composer << "photoPickerSheet" << QString() << 0;
        QTest::newRow("composer, Escape") << composer << "photoPickerSheet" << QString() << int(Qt::Key_Escape);
        QTest::newRow("composer, photo chosen at the crop step") << composer << "photoPickerSheet"
                                                                 << "photo.png" << int(Qt::Key_Return);
        QTest::newRow("track form, audio picked") << trackForm << "audioPickerSheet"
                                                  << "tone.wav" << 0;
    }
    void typingGoesOnAfterTheDialog()
    {
        QFETCH(QStringList, taps);
        QFETCH(QString, sheet);
        QFETCH(QString, file);
        QFETCH(int, endKey);
        QVERIFY(tapAll(taps.mid(0, taps.size() - 1)));
        type("hello");
        QQuickWindow *dialog = openDialog(taps.last());
        QVERIFY(dialog);
        if (!file.isEmpty())
            QVERIFY(choose(dialog, file));
        else if (endKey)
            QTest::keyClick(dialog, Qt::Key(endKey));
        else
            tap(dialog, findIn(dialog->contentItem(), QStringLiteral("fileDialogCancelButton")));
        QTRY_VERIFY(!dialog->isVisible());
        QTRY_VERIFY(window()->isActive());
        if (!file.isEmpty() && endKey) {
            QVERIFY(waitFor(QStringLiteral("cropFrame")));
            key(endKey);
        }
        QTRY_VERIFY(!isOpen(qPrintable(sheet)));
        type(" world");
        QCOMPARE(item(taps.at(taps.size() - 2))->property("text").toString(), QStringLiteral("hello world"));
        QVERIFY(!shownDialog() && !isOpen(qPrintable(sheet)));
    }
};

QTEST_MAIN(TestWindowSheets)
#include "tst_window_sheets.moc"
