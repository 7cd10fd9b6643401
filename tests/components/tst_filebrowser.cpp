#include "FileBrowserModel.h"

#include <QAbstractItemModelTester>
#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

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
