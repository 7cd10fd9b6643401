#include "../app/ScreenDriver.h"
#include "AudioPlayerManager.h"
#include "MusicViewModel.h"
#include "NetworkManager.h"
#include "QmlScreen.h"
#include "ServiceProcess.h"
#include "UploadTrackForm.h"
#include "WavSample.h"

#include <QFile>
#include <QImage>
#include <QPointer>
#include <QTemporaryDir>
#include <QTest>

using namespace ScreenDriver;

// A track uploaded through the music screen's form against the reference service, shown first
// and played by the shared player over real HTTP; and a save that outlives its swiped-away sheet.
class TestMusicUploadEndToEnd : public QObject
{
    Q_OBJECT

    ServiceProcess m_service;
    QTemporaryDir m_dir;
    QString m_wav;

    static bool isOpen(QObject *sheet)
    {
        return sheet && sheet->property("opened").toBool() && sheet->property("y").toReal() == 10;
    }

    UploadTrackForm *openForm(QmlScreen &screen, QObject *sheet)
    {
        tap(screen.window(), screen.find(QStringLiteral("uploadTrackButton")));
        if (!QTest::qWaitFor([&] { return isOpen(sheet) && screen.find(QStringLiteral("uploadTrackView")); }, 5000))
            return nullptr;
        return screen.find(QStringLiteral("uploadTrackView"))->property("form").value<UploadTrackForm *>();
    }

private Q_SLOTS:
    void initTestCase()
    {
        clearSettings();
        QVERIFY2(m_service.start(), qPrintable(m_service.errors()));
        NetworkManager::shared().setBaseURL(m_service.baseUrl());
        m_wav = m_dir.filePath(QStringLiteral("Sunset tone.wav"));
        QFile file(m_wav);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(wavSample(2.0, 22050));
    }

    void uploadedTrackShowsFirstAndPlays()
    {
        QmlScreen screen(QStringLiteral("MusicView.qml"));
        QVERIFY2(screen.isReady(), qPrintable(screen.errors()));
        auto *model = screen.root()->property("viewModel").value<MusicViewModel *>();
        QTRY_VERIFY(screen.find(QStringLiteral("trackRow0")));
        QObject *sheet = screen.root()->findChild<QObject *>(QStringLiteral("uploadSheet"));

        UploadTrackForm *form = openForm(screen, sheet);
        QVERIFY(form);
        type(screen.window(), screen.find(QStringLiteral("trackTitleField")), QStringLiteral("Sunset Tone"));
        type(screen.window(), screen.find(QStringLiteral("trackArtistField")), QStringLiteral("Test Band"));
        type(screen.window(), screen.find(QStringLiteral("trackAlbumField")), QStringLiteral("Field Notes"));
        form->uploadAudio(QUrl::fromLocalFile(m_wav));
        QImage cover(64, 64, QImage::Format_RGB32);
        cover.fill(QColor(0xFF, 0x95, 0x00));
        form->uploadCover(QVariant::fromValue(cover));
        QTRY_VERIFY(!form->audioUrl().isEmpty() && !form->coverUrl().isEmpty());
        QVERIFY(form->audioUrl().startsWith(m_service.siteUrl() + "/media/uploads/"));

        tap(screen.window(), screen.find(QStringLiteral("sheetTrailingButton")));
        QTRY_VERIFY(!sheet->property("visible").toBool());

        const Track uploaded = model->tracks().first();
        QCOMPARE(uploaded.title, QStringLiteral("Sunset Tone"));
        QCOMPARE(uploaded.durationSeconds, qint64(2));
        QVERIFY(uploaded.coverUrl);
        QQuickItem *row = screen.find(QStringLiteral("trackRow0"));
        QCOMPARE(row->property("title").toString(), QStringLiteral("Sunset Tone"));
        QCOMPARE(row->property("coverSource").toString(), *uploaded.coverUrl);
        QVERIFY(std::any_of(model->albums().cbegin(), model->albums().cend(), [&](const Album &album) {
            return album.title == QStringLiteral("Field Notes") && album.tracks == QList<Track>{uploaded};
        }));

        // The shared player fetches the stored file from the service and plays it through.
        AudioPlayerManager &player = AudioPlayerManager::shared();
        tap(screen.window(), row);
        QCOMPARE(player.currentTrack()->id, uploaded.id);
        QVERIFY(player.isPlaying());
        QTRY_VERIFY_WITH_TIMEOUT(qAbs(player.duration() - 2.0) < 0.05, 15000);
        QTRY_VERIFY_WITH_TIMEOUT(player.currentTime() > 0.5, 15000);
    }

    void saveWhoseSheetWasSwipedAwayStillAddsTheTrack()
    {
        QmlScreen screen(QStringLiteral("MusicView.qml"));
        QVERIFY2(screen.isReady(), qPrintable(screen.errors()));
        auto *model = screen.root()->property("viewModel").value<MusicViewModel *>();
        QTRY_VERIFY(screen.find(QStringLiteral("trackRow0")));
        QObject *sheet = screen.root()->findChild<QObject *>(QStringLiteral("uploadSheet"));

        QPointer<UploadTrackForm> form = openForm(screen, sheet);
        QVERIFY(form);
        form->setTitle(QStringLiteral("Gone Before Reply"));
        form->setArtist(QStringLiteral("Test Band"));
        form->uploadAudio(QUrl::fromLocalFile(m_wav));
        QTRY_VERIFY(!form->audioUrl().isEmpty());

        // A cover upload and the save, both still running when the sheet is swiped away.
        QImage cover(64, 64, QImage::Format_RGB32);
        cover.fill(Qt::darkBlue);
        form->uploadCover(QVariant::fromValue(cover));
        form->save();
        QVERIFY(form->isSubmitting());
        QMetaObject::invokeMethod(sheet, "close");
        // The form goes with its sheet; the save still lands in the model, the cover nowhere.
        QTRY_VERIFY(form.isNull());
        QTRY_COMPARE(model->tracks().first().title, QStringLiteral("Gone Before Reply"));
        QCOMPARE(screen.find(QStringLiteral("trackRow0"))->property("title").toString(),
                 QStringLiteral("Gone Before Reply"));
        QCOMPARE(model->tracks().first().coverUrl, std::nullopt);
        QTest::qWait(500); // the cover's reply reaches a form that is gone
    }
};

QTEST_MAIN(TestMusicUploadEndToEnd)
#include "tst_musicupload_endtoend.moc"
