#include "PickedRoot.h"
#include "ScreenDriver.h"
#include "WindowTest.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTest>

using namespace ScreenDriver;

// The pickers' file dialog by its keys, and the application's window after the dialog: a pick or
// «Отмена» hands the keyboard back to the window that opened it, where the focus was (or to the
// photo's crop step), with no click needed.
class TestWindowDialogs : public WindowTest
{
    Q_OBJECT

    // The temporary folder of this run alone, where the pickers' copies go.
    QTemporaryDir m_temp;

    QStringList picksLeft() const
    {
        return QDir(PickedRoot::ownPath(m_temp.path()))
            .entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    }

    QQuickItem *dialogItem(QQuickWindow *dialog, const char *name) const
    {
        return findIn(dialog->contentItem(), QLatin1String(name));
    }

    // Opens the track form and, through its button, the picker's dialog on the test's files.
    QQuickWindow *openDialog(const char *button)
    {
        if (!tapAll({"tabButton2", "uploadTrackButton", QLatin1String(button)}))
            return nullptr;
        QQuickWindow *dialog = nullptr;
        if (!QTest::qWaitFor([&] { return (dialog = shownDialog()) != nullptr && dialog->isActive(); },
                             VORLANE_PATIENT_WAIT_MS))
            return nullptr;
        dialog->setProperty("folder", m_files.path());
        return dialog;
    }

    // Makes `file` current by keys alone: Home, then Down until it is.
    bool keyTo(QQuickWindow *dialog, const QString &file)
    {
        QTest::keyClick(dialog, Qt::Key_Home);
        QQuickItem *list = dialogItem(dialog, "fileDialogList");
        for (int row = 0; row < 50; ++row) {
            QQuickItem *current = list->property("currentItem").value<QQuickItem *>();
            if (current && current->objectName() == QLatin1String("fileRow_") + file)
                return true;
            QTest::keyClick(dialog, Qt::Key_Down);
        }
        return false;
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_temp.isValid());
        qputenv("TMPDIR", QFile::encodeName(m_temp.path()));
        QVERIFY(startService());
        QVERIFY(QDir(m_files.path()).mkdir(QStringLiteral("many")));
        for (int i = 0; i < 40; ++i)
            QVERIFY(writeFile(QStringLiteral("many/t%1.wav").arg(i, 2, 10, QLatin1Char('0')), "RIFF"));
    }
    void init()
    {
        // Moving between folders and filters used to leave the list asking for a row no longer there.
        QTest::failOnWarning(QRegularExpression(QStringLiteral("DelegateModel|index out range")));
        QVERIFY(openApp());
    }
    // Whatever was picked is gone once its upload has ended or its form has closed.
    void cleanup()
    {
        closeApp();
        QTRY_VERIFY2(picksLeft().isEmpty(), qPrintable(picksLeft().join(QLatin1Char(' '))));
    }

    // A large file picked as a track: the form's spinner turns while it is copied, and closing the
    // form meanwhile stops the copy and leaves nothing of it.
    void closingTheFormStopsTheCopy()
    {
        QFile large(m_files.filePath(QStringLiteral("long take.wav")));
        QVERIFY(large.open(QIODevice::WriteOnly) && large.resize(1024LL * 1024 * 1024));
        large.close();
        const int stored = storedFiles();
        QQuickWindow *dialog = openDialog("audioPickButton");
        QVERIFY(dialog);
        QVERIFY(keyTo(dialog, QStringLiteral("long take.wav")));
        QTest::keyClick(dialog, Qt::Key_Return);
        QTRY_VERIFY(!isOpen("audioPickerSheet"));
        QVERIFY(item(QStringLiteral("audioProgress")));
        key(Qt::Key_Escape);
        QTRY_VERIFY(!isOpen("uploadSheet"));
        QTRY_VERIFY2(picksLeft().isEmpty(), qPrintable(picksLeft().join(QLatin1Char(' '))));
        QCOMPARE(storedFiles(), stored);
        QVERIFY(large.remove());
    }

    // After the dialog the window has the keyboard back: Escape closes the form's sheet, or, when
    // a photo was picked, Escape and Enter reach its crop step first.
    void keyboardComesBackAfterTheDialog_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("file");
        QTest::addColumn<int>("cropKey");
        QTest::newRow("audio picked") << "audioPickButton"
                                      << "tone.wav" << 0;
        QTest::newRow("audio dialog cancelled") << "audioPickButton" << QString() << 0;
        QTest::newRow("photo dialog cancelled") << "coverPickButton" << QString() << 0;
        QTest::newRow("photo picked, Enter chooses it") << "coverPickButton"
                                                        << "photo.png" << int(Qt::Key_Return);
        QTest::newRow("photo picked, Escape drops it") << "coverPickButton"
                                                       << "photo.png" << int(Qt::Key_Escape);
    }
    void keyboardComesBackAfterTheDialog()
    {
        QFETCH(QString, button);
        QFETCH(QString, file);
        QFETCH(int, cropKey);
        const int stored = storedFiles();
        QQuickWindow *dialog = openDialog(qPrintable(button));
        QVERIFY(dialog);
        if (file.isEmpty()) {
            tap(dialog, dialogItem(dialog, "fileDialogCancelButton"));
        } else {
            QVERIFY(keyTo(dialog, file));
            QTest::keyClick(dialog, Qt::Key_Return);
        }
        QTRY_VERIFY(!dialog->isVisible());
        QTRY_VERIFY(window()->isActive());
        if (cropKey) {
            QQuickItem *crop = waitFor(QStringLiteral("cropFrame"));
            QVERIFY(crop);
            QTRY_VERIFY(!anyStackBusy(window()->contentItem()));
            key(cropKey);
            QTRY_VERIFY(!isOpen("coverPickerSheet"));
            QVERIFY(isOpen("uploadSheet"));
            if (cropKey == Qt::Key_Return)
                QTRY_VERIFY(storedFiles() > stored);
            else
                QCOMPARE(storedFiles(), stored);
        } else {
            QTRY_VERIFY(!isOpen(button == QLatin1String("audioPickButton") ? "audioPickerSheet" : "coverPickerSheet"));
        }
        if (!file.isEmpty() && !cropKey)
            QTRY_VERIFY(storedFiles() > stored);
        key(Qt::Key_Escape);
        QTRY_VERIFY(!isOpen("uploadSheet"));
    }

    // Home and End go to the ends of the list, Page Up and Page Down a page at a time, and the
    // current row stays in sight.
    void dialogKeysMoveInTheList()
    {
        QQuickWindow *dialog = openDialog("audioPickButton");
        QVERIFY(dialog);
        dialog->setProperty("folder", m_files.filePath(QStringLiteral("many")));
        QQuickItem *list = dialogItem(dialog, "fileDialogList");
        QTRY_COMPARE(list->property("count").toInt(), 40);
        const auto current = [list] { return list->property("currentIndex").toInt(); };
        const auto inSight = [list] {
            auto *item = list->property("currentItem").value<QQuickItem *>();
            const qreal top = list->property("contentY").toReal();
            return item && item->y() >= top - 0.5 && item->y() + item->height() <= top + list->height() + 0.5;
        };
        QTest::keyClick(dialog, Qt::Key_End);
        QCOMPARE(current(), 39);
        QTRY_VERIFY(inSight());
        QTest::keyClick(dialog, Qt::Key_PageUp);
        const int page = 39 - current();
        QVERIFY2(page >= 5 && page < 39, qPrintable(QString::number(page)));
        QTRY_VERIFY(inSight());
        QTest::keyClick(dialog, Qt::Key_Home);
        QCOMPARE(current(), 0);
        QTRY_VERIFY(inSight());
        QTest::keyClick(dialog, Qt::Key_PageDown);
        QCOMPARE(current(), page);
        QTest::keyClick(dialog, Qt::Key_PageDown);
        QCOMPARE(current(), 2 * page);
        QTRY_VERIFY(inSight());
        // Back up and into the folder again: the list follows without a warning.
        QTest::keyClick(dialog, Qt::Key_Backspace);
        QTRY_COMPARE(dialog->property("folder").toString(), QDir(m_files.path()).canonicalPath());
        QVERIFY(keyTo(dialog, QStringLiteral("many")));
        QTest::keyClick(dialog, Qt::Key_Return);
        QTRY_COMPARE(list->property("count").toInt(), 40);
        QTest::keyClick(dialog, Qt::Key_Escape);
        QTRY_VERIFY(!dialog->isVisible());
        QTRY_VERIFY(!isOpen("audioPickerSheet"));
    }

    // With the «Тип файлов» list open, Escape closes that list and leaves the dialog; the next
    // Escape closes the dialog.
    void escapeClosesTheFilterListFirst()
    {
        QQuickWindow *dialog = openDialog("audioPickButton");
        QVERIFY(dialog);
        QQuickItem *filter = dialogItem(dialog, "fileDialogFilter");
        QVERIFY(filter && filter->isVisible());
        auto *popup = filter->property("popup").value<QObject *>();
        QVERIFY(popup);
        tap(dialog, filter);
        QTRY_VERIFY(popup->property("opened").toBool());
        QTest::keyClick(dialog, Qt::Key_Escape);
        QTRY_VERIFY(!popup->property("visible").toBool());
        QVERIFY(dialog->isVisible());
        QVERIFY(isOpen("audioPickerSheet"));
        // Another filter chosen by its list, then the dialog closed by Escape.
        tap(dialog, filter);
        QTRY_VERIFY(popup->property("opened").toBool());
        QTest::keyClick(dialog, Qt::Key_Down);
        QTest::keyClick(dialog, Qt::Key_Return);
        QTRY_VERIFY(!popup->property("visible").toBool());
        QCOMPARE(filter->property("currentIndex").toInt(), 1);
        QVERIFY(dialog->isVisible());
        QTest::keyClick(dialog, Qt::Key_Escape);
        QTRY_VERIFY(!dialog->isVisible());
        QTRY_VERIFY(!isOpen("audioPickerSheet"));
        QVERIFY(isOpen("uploadSheet"));
    }
};

QTEST_MAIN(TestWindowDialogs)
#include "tst_window_dialogs.moc"
