#include "FileBrowserModel.h"

#include <QAbstractItemModelTester>
#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

// The file dialog's listing: folders first, then the files the chosen filter lets through, each
// by name; opening a folder enters it, opening a file chooses it; sizes read in Russian units.
class TestFileBrowser : public QObject
{
    Q_OBJECT

    static QStringList names(const FileBrowserModel &model)
    {
        QStringList list;
        for (int row = 0; row < model.rowCount(); ++row)
            list << model.index(row).data(FileBrowserModel::NameRole).toString();
        return list;
    }

private Q_SLOTS:
    void startsAtHome() { QCOMPARE(FileBrowserModel().folder(), QDir(QDir::homePath()).canonicalPath()); }

    void listsFiltersEntersAndChooses()
    {
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("Музыка")) && QDir(dir.path()).mkdir(QStringLiteral(".hidden")));
        for (const char *name : {"b.WAV", "a.mp3", "notes.txt", ".secret.mp3"}) {
            QFile file(QDir(dir.path()).filePath(QString::fromUtf8(name)));
            QVERIFY(file.open(QIODevice::WriteOnly) && file.write("x") == 1);
        }
        FileBrowserModel model;
        QAbstractItemModelTester tester(&model);
        model.setNameFilters({QStringLiteral("Аудио (*.mp3 *.wav)"), QStringLiteral("Все (*)")});
        model.setFolder(QUrl::fromLocalFile(dir.path()).toString());
        QCOMPARE(names(model), (QStringList{"Музыка", "a.mp3", "b.WAV"}));
        model.setSelectedFilter(1);
        QCOMPARE(names(model), (QStringList{"Музыка", "a.mp3", "b.WAV", "notes.txt"}));

        QSignalSpy chosen(&model, &FileBrowserModel::fileChosen);
        QVERIFY(!model.accept());
        model.setCurrentRow(1);
        QCOMPARE(model.selectedFile(), QUrl::fromLocalFile(QDir(model.folder()).filePath("a.mp3")));
        QVERIFY(model.accept());
        QCOMPARE(chosen.count(), 1);
        model.activate(0);
        QCOMPARE(QFileInfo(model.folder()).fileName(), QStringLiteral("Музыка"));
        QCOMPARE(model.rowCount(), 0);
        model.goUp();
        QCOMPARE(model.folder(), QDir(dir.path()).canonicalPath());
        model.setFolder(dir.filePath(QStringLiteral("absent")));
        QCOMPARE(model.folder(), QDir(dir.path()).canonicalPath());
    }

    // Links are judged by what they lead to, each listed once; whatever is neither a folder nor a
    // regular file is left out, since a picker could not read it without blocking.
    void listsWhatLinksLeadTo()
    {
        QTemporaryDir dir;
        const QDir folder(dir.path());
        QVERIFY(folder.mkdir(QStringLiteral("Музыка")));
        QFile song(folder.filePath(QStringLiteral("song.mp3")));
        QVERIFY(song.open(QIODevice::WriteOnly) && song.write("abc") == 3);
        song.close();
        QVERIFY(::mkfifo(QFile::encodeName(folder.filePath(QStringLiteral("pipe.mp3"))).constData(), 0600) == 0);
        const QList<std::pair<const char *, QString>> links{
            {"to-folder", folder.filePath(QStringLiteral("Музыка"))},
            {"to-song.mp3", folder.filePath(QStringLiteral("song.mp3"))},
            {"to-pipe.mp3", folder.filePath(QStringLiteral("pipe.mp3"))},
            {"to-stdin.mp3", QStringLiteral("/dev/stdin")},
            {"to-zero.mp3", QStringLiteral("/dev/zero")},
            {"to-nothing.mp3", folder.filePath(QStringLiteral("absent.mp3"))},
        };
        for (const auto &[name, target] : links)
            QVERIFY(QFile::link(target, folder.filePath(QString::fromUtf8(name))));

        FileBrowserModel model;
        QAbstractItemModelTester tester(&model);
        model.setNameFilters({QStringLiteral("Аудио (*.mp3)")});
        model.setFolder(dir.path());
        QStringList expected{"to-folder", "Музыка", "song.mp3", "to-song.mp3"};
        // Standard input may itself be a plain file (redirected from one): then it is listed as one.
        if (QFileInfo(QStringLiteral("/dev/stdin")).isFile())
            expected.append(QStringLiteral("to-stdin.mp3"));
        QCOMPARE(names(model), expected);
        QCOMPARE(model.index(0).data(FileBrowserModel::IsFolderRole).toBool(), true);
        QCOMPARE(model.index(expected.indexOf("to-song.mp3")).data(FileBrowserModel::SizeTextRole).toString(),
                 QStringLiteral("3") + QChar(0x00A0) + QStringLiteral("Б"));
        model.activate(0);
        QCOMPARE(model.folder(), folder.filePath(QStringLiteral("Музыка")));
    }

    // Home, End, Page Up and Page Down; other keys are the list's own.
    void keysMoveTheCurrentRow_data()
    {
        QTest::addColumn<int>("from");
        QTest::addColumn<int>("key");
        QTest::addColumn<bool>("taken");
        QTest::addColumn<int>("to");
        // 25 rows, 10 to a page.
        QTest::newRow("Home") << 17 << int(Qt::Key_Home) << true << 0;
        QTest::newRow("End") << 3 << int(Qt::Key_End) << true << 24;
        QTest::newRow("End with nothing current") << -1 << int(Qt::Key_End) << true << 24;
        QTest::newRow("Page Down") << 3 << int(Qt::Key_PageDown) << true << 13;
        QTest::newRow("Page Down with nothing current") << -1 << int(Qt::Key_PageDown) << true << 10;
        QTest::newRow("Page Down stops at the end") << 20 << int(Qt::Key_PageDown) << true << 24;
        QTest::newRow("Page Up") << 17 << int(Qt::Key_PageUp) << true << 7;
        QTest::newRow("Page Up stops at the start") << 4 << int(Qt::Key_PageUp) << true << 0;
        QTest::newRow("Down is the list's") << 4 << int(Qt::Key_Down) << false << 4;
    }
    void keysMoveTheCurrentRow()
    {
        QFETCH(int, from);
        QFETCH(int, key);
        QFETCH(bool, taken);
        QFETCH(int, to);
        QTemporaryDir dir;
        for (int i = 0; i < 25; ++i) {
            QFile file(QDir(dir.path()).filePath(QStringLiteral("f%1.wav").arg(i, 2, 10, QLatin1Char('0'))));
            QVERIFY(file.open(QIODevice::WriteOnly));
        }
        FileBrowserModel model;
        model.setFolder(dir.path());
        QCOMPARE(model.rowCount(), 25);
        model.setCurrentRow(from);
        QCOMPARE(model.moveCurrentRow(key, 10), taken);
        QCOMPARE(model.currentRow(), to);
    }

    void keysInAnEmptyFolderMoveNothing()
    {
        QTemporaryDir dir;
        FileBrowserModel model;
        model.setFolder(dir.path());
        for (const int key : {Qt::Key_Home, Qt::Key_End, Qt::Key_PageUp, Qt::Key_PageDown})
            QVERIFY(model.moveCurrentRow(key, 10));
        QCOMPARE(model.currentRow(), -1);
    }

    void sizeText_data()
    {
        QTest::addColumn<qint64>("bytes");
        QTest::addColumn<QString>("text");
        QTest::newRow("bytes") << qint64(999) << QStringLiteral("999 Б");
        QTest::newRow("kilobytes with a tenth") << qint64(1536) << QStringLiteral("1,5 КБ");
        QTest::newRow("whole megabytes") << qint64(12) * 1024 * 1024 << QStringLiteral("12 МБ");
        QTest::newRow("gigabytes") << qint64(3) * 1024 * 1024 * 1024 << QStringLiteral("3,0 ГБ");
    }
    void sizeText()
    {
        QFETCH(qint64, bytes);
        QFETCH(QString, text);
        QCOMPARE(FileBrowserModel::sizeText(bytes), QString(text).replace(QLatin1Char(' '), QChar(0x00A0)));
    }
};

QTEST_MAIN(TestFileBrowser)
#include "tst_filebrowser.moc"
