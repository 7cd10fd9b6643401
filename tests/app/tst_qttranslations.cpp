// The texts Qt draws itself, such as the file dialog's buttons, follow the client's language.
#include "QtTranslations.h"

#include <QCoreApplication>
#include <QTest>

class tst_QtTranslations : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void fileDialogButtonsSpeakRussian_data()
    {
        QTest::addColumn<QString>("english");
        QTest::addColumn<QString>("russian");
        QTest::newRow("open") << QStringLiteral("Open") << QStringLiteral("Открыть");
        QTest::newRow("cancel") << QStringLiteral("Cancel") << QStringLiteral("Отмена");
    }

    void fileDialogButtonsSpeakRussian()
    {
        static const bool installed = QtTranslations::install(*QCoreApplication::instance());
        QVERIFY(installed);
        QFETCH(QString, english);
        QFETCH(QString, russian);
        QCOMPARE(QCoreApplication::translate("QPlatformTheme", english.toUtf8().constData()), russian);
    }
};

QTEST_MAIN(tst_QtTranslations)
#include "tst_qttranslations.moc"
