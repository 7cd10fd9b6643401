#include "ScreenDriver.h"
#include "WindowTest.h"

#include <QDir>
#include <QTest>

using namespace ScreenDriver;

// Every picker's file dialog and the upload it ends in, the feed search typed key by key, Escape and
// Enter on sheets and the alert.
class TestWindow : public WindowTest
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QVERIFY(startService()); }
    void init() { QVERIFY(openApp()); }
    void cleanup() { closeApp(); }

    void everyPickerOpensItsDialogAndUploads_data()
    {
        QTest::addColumn<QStringList>("taps");
        QTest::addColumn<QString>("file");
        const QString photo = QStringLiteral("photo.png");
        const QStringList myChannel{"tabButton1", "segment1", "channelRow0"};
        QTest::newRow("composer photo") << QStringList{"tabButton0", "composerButton", "pickPhotoButton"} << photo;
        QTest::newRow("profile avatar") << QStringList{"tabButton4", "profileActionButton", "avatarPickButton"}
                                        << photo;
        QTest::newRow("profile cover") << QStringList{"tabButton4", "profileActionButton", "coverPickButton"} << photo;
        QTest::newRow("track audio") << QStringList{"tabButton2", "uploadTrackButton", "audioPickButton"}
                                     << QStringLiteral("tone.wav");
        QTest::newRow("track cover") << QStringList{"tabButton2", "uploadTrackButton", "coverPickButton"} << photo;
        QTest::newRow("playlist cover") << QStringList{"tabButton2", "segment2", "createPlaylistButton",
                                                       "playlistCoverButton"}
                                        << photo;
        QTest::newRow("video file") << QStringList{"tabButton3", "uploadVideoButton", "videoButton"}
                                    << QStringLiteral("clip.mp4");
        QTest::newRow("video preview") << QStringList{"tabButton3", "uploadVideoButton", "thumbnailButton"} << photo;
        QTest::newRow("new channel avatar")
            << QStringList{"tabButton1", "createChannelHeaderButton", "avatarButton"} << photo;
        QTest::newRow("new channel cover")
            << QStringList{"tabButton1", "createChannelHeaderButton", "coverButton"} << photo;
        QTest::newRow("channel edit avatar")
            << myChannel + QStringList{"channelSettingsButton", "avatarButton"} << photo;
        QTest::newRow("channel edit cover") << myChannel + QStringList{"channelSettingsButton", "coverButton"} << photo;
        QTest::newRow("channel post photo")
            << myChannel + QStringList{"createPostButton", "composerPhotoButton"} << photo;
    }
    void everyPickerOpensItsDialogAndUploads()
    {
        QFETCH(QStringList, taps);
        QFETCH(QString, file);
        QVERIFY(tapAll(taps));
        QQuickWindow *dialog = nullptr;
        QTRY_VERIFY((dialog = shownDialog()) != nullptr);
        QVERIFY(!dialog->title().isEmpty());
        QVERIFY(dialog->width() >= 400);
        const int stored = storedFiles();
        QVERIFY(choose(dialog, file));
        if (file.endsWith(QLatin1String(".png")))
            QVERIFY(tapName(QStringLiteral("cropChooseButton")));
        QTRY_VERIFY(storedFiles() > stored);
    }

    // Cancelled, the dialog takes the picker's sheet with it and leaves the form as it was.
    void cancelledDialogClosesThePicker()
    {
        QVERIFY(tapAll({"tabButton2", "uploadTrackButton", "audioPickButton"}));
        QQuickWindow *dialog = nullptr;
        QTRY_VERIFY((dialog = shownDialog()) != nullptr);
        // It opens at home; its list moves by keys, and Escape is its «Отмена».
        QCOMPARE(dialog->property("folder").toString(), QDir::home().canonicalPath());
        dialog->setProperty("folder", m_files.path());
        QTest::keyClick(dialog, Qt::Key_Down);
        QCOMPARE(findIn(dialog->contentItem(), QStringLiteral("fileDialogList"))->property("currentIndex").toInt(), 0);
        QTest::keyClick(dialog, Qt::Key_Escape);
        QTRY_VERIFY(!isOpen("audioPickerSheet"));
        QVERIFY(isOpen("uploadSheet"));
    }

    // A track uploaded through the form's own pickers tops the list.
    void trackUploadedThroughThePickersShowsFirst()
    {
        QVERIFY(tapAll({"tabButton2", "uploadTrackButton"}));
        for (const auto &[field, text] :
             {std::pair{"trackTitleField", "Window Song"}, std::pair{"trackArtistField", "Tester"}}) {
            QVERIFY(tapName(QLatin1String(field)));
            for (const char *ch = text; *ch; ++ch)
                QTest::keyClick(window(), *ch);
        }
        const QList<std::pair<QString, QString>> picks{{"audioPickButton", "tone.wav"},
                                                       {"coverPickButton", "photo.png"}};
        for (const auto &[button, file] : picks) {
            QVERIFY(tapName(button));
            QQuickWindow *dialog = nullptr;
            QTRY_VERIFY((dialog = shownDialog()) != nullptr);
            QVERIFY(choose(dialog, file));
            if (file.endsWith(QLatin1String(".png")))
                QVERIFY(tapName(QStringLiteral("cropChooseButton")));
            QTRY_VERIFY(!isOpen(button == QLatin1String("audioPickButton") ? "audioPickerSheet" : "coverPickerSheet"));
        }
        QQuickItem *save = item(QStringLiteral("sheetTrailingButton"));
        QTRY_VERIFY(save->isEnabled());
        tap(window(), save);
        QTRY_VERIFY(!isOpen("uploadSheet"));
        QTRY_COMPARE(waitFor(QStringLiteral("trackRow0"))->property("title").toString(), QStringLiteral("Window Song"));
    }

    // Typed one key at a time while the matching posts change under it, down to none and back, the
    // search keeps its field's focus and every key.
    void feedSearchKeepsFocusAndEveryKey()
    {
        QQuickItem *field = waitFor(QStringLiteral("searchField"));
        QTRY_VERIFY(item(QStringLiteral("feedList"))->property("count").toInt() > 0);
        tap(window(), field);
        const QString typed = QStringLiteral("номер 12");
        for (const QChar ch : typed) {
            QTest::sendKeyEvent(QTest::Click, window(), Qt::Key_unknown, QString(ch), Qt::NoModifier);
            QTest::qWait(20);
        }
        QCOMPARE(field->property("text").toString(), typed);
        QVERIFY(field->hasActiveFocus());
        // Erased key by key, the list grows back from nothing under the field.
        for (int i = 0; i < typed.size(); ++i)
            key(Qt::Key_Backspace);
        QCOMPARE(field->property("text").toString(), QString());
        QVERIFY(item(QStringLiteral("feedList"))->property("count").toInt() > 0);
        QVERIFY(field->hasActiveFocus());
    }

    // Escape closes the topmost sheet wherever the focus is, a form with what was typed in it too.
    void escapeClosesTheSheet_data()
    {
        QTest::addColumn<QStringList>("taps");
        QTest::addColumn<QString>("sheet");
        QTest::newRow("followers") << QStringList{"tabButton4", "followersButton"} << "followersSheet";
        QTest::newRow("following") << QStringList{"tabButton4", "followingButton"} << "followingSheet";
        QTest::newRow("profile editor") << QStringList{"tabButton4", "profileActionButton"} << "editSheet";
        QTest::newRow("composer") << QStringList{"tabButton0", "composerButton", "postTextEditor"} << "composerSheet";
        QTest::newRow("track upload") << QStringList{"tabButton2", "uploadTrackButton"} << "uploadSheet";
        QTest::newRow("channel subscribers")
            << QStringList{"tabButton1", "segment1", "channelRow0", "subscribersButton"} << "subscribersSheet";
    }
    void escapeClosesTheSheet()
    {
        QFETCH(QStringList, taps);
        QFETCH(QString, sheet);
        QVERIFY(tapAll(taps));
        QTRY_VERIFY(isOpen(qPrintable(sheet)));
        if (taps.last() == QLatin1String("postTextEditor")) {
            for (const char ch : {'d', 'r', 'a', 'f', 't'})
                QTest::keyClick(window(), ch);
        }
        key(Qt::Key_Escape);
        QTRY_VERIFY(!isOpen(qPrintable(sheet)));
    }

    // The «Ссылка скопирована» alert: Escape closes it, Enter presses «OK».
    void copiedAlertTakesEscapeAndEnter()
    {
        QTRY_VERIFY(waitFor(QStringLiteral("postMenuButton")));
        for (const int closingKey : {int(Qt::Key_Escape), int(Qt::Key_Return)}) {
            QVERIFY(tapAll({"postMenuButton", "copyLinkItem"}));
            QTRY_VERIFY(item(QStringLiteral("copiedAlertMessage")));
            key(closingKey);
            QTRY_VERIFY(!item(QStringLiteral("copiedAlertMessage")));
        }
    }
};

QTEST_MAIN(TestWindow)
#include "tst_window.moc"
