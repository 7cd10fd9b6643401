#include "QmlSnippet.h"

#include <QTest>

// The sheet rises to the same place at every opening, and builds its content afresh each time.
class TestSheet : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void everyOpeningRisesIntoViewWithFreshContent()
    {
        QmlSnippet snippet(R"(
import QtQuick
import Vorlane
Item {
    anchors.fill: parent
    property int made: 0
    Sheet {
        objectName: "sheet"
        content: Rectangle { Component.onCompleted: made += 1 }
    }
})");
        QVERIFY2(snippet.isReady(), qPrintable(snippet.errors()));
        QObject *sheet = snippet.find(QStringLiteral("sheet"));
        QVERIFY(sheet);
        for (int opening = 1; opening <= 3; ++opening) {
            QMetaObject::invokeMethod(sheet, "open");
            QTRY_VERIFY(sheet->property("opened").toBool());
            QCOMPARE(sheet->property("y").toReal(), 10.0);
            QCOMPARE(snippet.root()->property("made").toInt(), opening);
            QMetaObject::invokeMethod(sheet, "close");
            QTRY_VERIFY(!sheet->property("visible").toBool());
        }
    }
};

QTEST_MAIN(TestSheet)
#include "tst_sheet.moc"
