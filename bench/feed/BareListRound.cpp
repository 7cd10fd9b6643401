#include "BareListRound.h"

#include "PlainWait.h"
#include "ScrollFrames.h"

#include <QQmlComponent>
#include <QQmlEngine>
#include <QQuickItem>
#include <QQuickWindow>

#include <cstdio>
#include <memory>

int BareListRound::run(qreal cardHeight, int rows, int frames, qreal step)
{
    QQmlEngine engine;
    QQmlComponent component(&engine);
    component.setData(R"(
        import QtQuick
        ListView {
            id: list
            property real cardHeight
            property int rows
            model: rows
            delegate: Rectangle {
                required property int index
                width: ListView.view.width
                height: list.cardHeight
                border.color: "#F2F2F7"
                Text {
                    x: 16
                    y: 12
                    width: parent.width - 32
                    wrapMode: Text.Wrap
                    textFormat: Text.PlainText
                    font.pixelSize: 15
                    text: "Запись номер " + index + ": немного текста о городе, музыке и погоде, чтобы карточка была похожа на настоящую."
                }
            }
        })",
                      QUrl());
    std::unique_ptr<QObject> made(component.createWithInitialProperties({{"cardHeight", cardHeight}, {"rows", rows}}));
    auto *list = qobject_cast<QQuickItem *>(made.get());
    if (!list) {
        std::fprintf(stderr, "%s\n", qPrintable(component.errorString()));
        return 1;
    }
    QQuickWindow window;
    window.resize(390, 844);
    list->setParentItem(window.contentItem());
    list->setSize(QSizeF(390, 844));
    bool shown = false;
    QObject::connect(&window, &QQuickWindow::frameSwapped, &window, [&] { shown = true; });
    window.show();
    if (!waitOnEventLoop(
            &window, &QQuickWindow::frameSwapped, [&] { return shown; }, 60000))
        return 1;
    const auto figures = ScrollFrames::scroll(window, list, frames, step);
    if (!figures)
        return 1;
    std::printf("%f %f %f %f\n", figures->overBudget, figures->medianMs, figures->p99Ms, figures->rowHeight);
    return 0;
}
