// The symbols are drawn in one colour and tinted where they are used, so whatever a filled
// symbol shows inside its shape has to be cut out of it: a white drawing would take the tint
// too and the symbol would become a plain blot.
#include "VorlaneQml.h"

#include <QGuiApplication>
#include <QImage>
#include <QImageReader>
#include <QQmlEngine>
#include <QTest>

class tst_SymbolIcons : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        QQmlEngine engine;
        VorlaneQml::prepare(engine); // pulls in the module's resources
    }

    void innerDrawingIsCutOut_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QPointF>("inside");  // on the inner drawing, in the 24-unit grid
        QTest::addColumn<QPointF>("filled");  // on the shape around it
        QTest::newRow("repost done") << QStringLiteral("arrow.triangle.2.circlepath.circle.fill")
                                     << QPointF(12 + 5.3 * -0.57358, 12 + 5.3 * -0.81915) << QPointF(12, 12);
        QTest::newRow("send") << QStringLiteral("paperplane.fill") << QPointF(12.75, 10.25) << QPointF(8, 10);
        QTest::newRow("play") << QStringLiteral("play.circle.fill") << QPointF(11, 12) << QPointF(4, 12);
    }

    void innerDrawingIsCutOut()
    {
        QFETCH(QString, name);
        QFETCH(QPointF, inside);
        QFETCH(QPointF, filled);
        QImageReader reader(QStringLiteral(":/Vorlane/icons/%1.svg").arg(name));
        reader.setScaledSize(QSize(240, 240));
        const QImage image = reader.read();
        QVERIFY2(!image.isNull(), qPrintable(reader.errorString()));
        const auto alphaAt = [&image](QPointF p) { return qAlpha(image.pixel((p * 10).toPoint())); };
        QCOMPARE(alphaAt(inside), 0);
        QCOMPARE(alphaAt(filled), 255);
    }
};

QTEST_MAIN(tst_SymbolIcons)
#include "tst_symbolicons.moc"
