#include "ScreenDriver.h"
#include "WindowTest.h"

#include <QAbstractItemModel>
#include <QImage>
#include <QSignalSpy>
#include <QTest>
#include <QUrl>

#include <cmath>

using namespace ScreenDriver;

namespace {

// WCAG 2 relative luminance and contrast ratio.
double luminance(const QColor &colour)
{
    const auto channel = [](double c) { return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4); };
    return 0.2126 * channel(colour.redF()) + 0.7152 * channel(colour.greenF()) + 0.0722 * channel(colour.blueF());
}

double contrast(const QColor &a, const QColor &b)
{
    const double la = luminance(a);
    const double lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// The opaque colour that an item's colour gives over what lies behind it.
QColor over(const QColor &top, const QColor &below)
{
    const double a = top.alphaF();
    return QColor::fromRgbF(float(top.redF() * a + below.redF() * (1 - a)),
                            float(top.greenF() * a + below.greenF() * (1 - a)),
                            float(top.blueF() * a + below.blueF() * (1 - a)));
}

} // namespace

// Pictures after an outage of the service, and the photo picker's editing step as a person sees and
// drives it: readable over any photo, Enter to choose, Escape to give up.
class TestWindowPictures : public WindowTest
{
    Q_OBJECT

    // A model that a screen holds as a plain object beside its items.
    QObject *modelOfType(const char *type) const
    {
        QList<QQuickItem *> items{window()->contentItem()};
        while (!items.isEmpty()) {
            QQuickItem *item = items.takeLast();
            items += item->childItems();
            for (QObject *child : item->children()) {
                if (child->inherits(type))
                    return child;
            }
        }
        return nullptr;
    }

    static QQuickItem *pictureIn(QQuickItem *item)
    {
        for (QQuickItem *child : item->childItems()) {
            if (child->inherits("RoundedImage"))
                return child;
        }
        return nullptr;
    }

    // The photo picker of the post composer, at its editing step with photo.png open.
    bool openCropStep()
    {
        if (!tapAll({"tabButton0", "composerButton", "pickPhotoButton"}))
            return false;
        QQuickWindow *dialog = nullptr;
        if (!QTest::qWaitFor([&] { return (dialog = shownDialog()) != nullptr; }, VORLANE_PATIENT_WAIT_MS) ||
            !choose(dialog, QStringLiteral("photo.png")))
            return false;
        return waitFor(QStringLiteral("cropFrame")) != nullptr;
    }

    // The colour drawn behind a text item: the nearest ancestor that paints one.
    static QColor backgroundOf(QQuickItem *item)
    {
        QColor behind(Qt::white);
        QList<QColor> layers;
        for (QQuickItem *up = item->parentItem(); up; up = up->parentItem()) {
            const QVariant colour = up->property("color");
            if (up->isVisible() && colour.canConvert<QColor>() && up->inherits("QQuickRectangle")) {
                layers.prepend(colour.value<QColor>());
                if (layers.first().alpha() == 255)
                    break;
            }
        }
        for (const QColor &layer : std::as_const(layers))
            behind = over(layer, behind);
        return behind;
    }

private Q_SLOTS:
    void initTestCase()
    {
        m_service.logRequests();
        QVERIFY(startService());
    }
    void init()
    {
        if (!m_service.isRunning())
            QVERIFY2(m_service.restart(), qPrintable(m_service.errors()));
        QVERIFY(openApp());
    }
    void cleanup() { closeApp(); }

    // Track covers shown while the service is down stay grey; once it is back, showing the list again
    // asks for each of them once more and shows it.
    void picturesComeBackWhenShownAgainAfterAnOutage()
    {
        QObject *music = modelOfType("MusicViewModel");
        QVERIFY(music);
        auto *tracks = music->property("tracks").value<QAbstractItemModel *>();
        QTRY_VERIFY(tracks->rowCount() >= 3);
        QVERIFY(m_service.stop());

        QVERIFY(tapName(QStringLiteral("tabButton2")));
        QList<QQuickItem *> covers;
        QStringList paths;
        for (int row = 0; row < 3; ++row) {
            QQuickItem *trackRow = waitFor(QStringLiteral("trackRow%1").arg(row));
            QVERIFY(trackRow);
            QQuickItem *cover = findIn(trackRow, QStringLiteral("trackCover"));
            QVERIFY(cover && pictureIn(cover));
            covers << cover;
            paths << QUrl(trackRow->property("coverSource").toString()).path();
            QVERIFY2(paths.last().endsWith(QLatin1String(".png")), qPrintable(paths.last()));
        }
        const QColor grey = over(QColor(142, 142, 147, 77), Qt::white);
        const auto middleOf = [](QImage &shot, QQuickItem *cover) {
            const QPointF middle = cover->mapToScene(QPointF(cover->width() / 2, cover->height() / 2));
            return shot.pixelColor(middle.toPoint());
        };
        for (QQuickItem *cover : std::as_const(covers))
            QTRY_COMPARE(pictureIn(cover)->property("status").toInt(), 3); // RoundedImage.Error
        QImage shot = window()->grabWindow();
        for (QQuickItem *cover : std::as_const(covers))
            QVERIFY(contrast(middleOf(shot, cover), grey) < 1.05);

        QVERIFY2(m_service.restart(), qPrintable(m_service.errors()));
        QVERIFY(tapName(QStringLiteral("tabButton0")));
        QVERIFY(tapName(QStringLiteral("tabButton2")));
        for (QQuickItem *cover : std::as_const(covers))
            QTRY_COMPARE(pictureIn(cover)->property("status").toInt(), 2); // RoundedImage.Ready
        shot = window()->grabWindow();
        for (QQuickItem *cover : std::as_const(covers))
            QVERIFY(contrast(middleOf(shot, cover), grey) > 1.05);
        // The service saw each cover asked for once, after it came back.
        const QStringList seen = m_service.requests();
        for (const QString &path : std::as_const(paths))
            QCOMPARE(seen.count(QStringLiteral("GET %1 200").arg(path)), 1);
    }

    // The title and both buttons stay legible on their bars, also with the photo scaled up under them.
    void cropStepReadsClearlyOverAZoomedPhoto()
    {
        QVERIFY(openCropStep());
        QQuickItem *slider = waitFor(QStringLiteral("zoomSlider"));
        QVERIFY(slider);
        // Pressed at its far end, once the sheet has risen, the slider scales the photo to the most it goes.
        QTRY_VERIFY(m_app->findObject(QStringLiteral("photoPickerSheet"))->property("opened").toBool());
        const QPoint end = slider->mapToScene(QPointF(slider->width() - 4, slider->height() / 2)).toPoint();
        QTest::mouseClick(window(), Qt::LeftButton, Qt::NoModifier, end);
        QTRY_VERIFY(slider->property("value").toReal() > 3.5);

        const QImage shot = window()->grabWindow();
        // photo.png is dark cyan, dimmed or not; the bars and their words are shades of grey.
        const auto isPhoto = [](const QColor &seen) {
            return seen.green() > seen.red() + 30 && seen.blue() > seen.red() + 30;
        };
        for (const char *name : {"cropTitle", "cropCancelButtonText", "cropChooseButtonText"}) {
            QQuickItem *text = item(QLatin1String(name));
            QVERIFY2(text, name);
            const QColor ink = text->property("color").value<QColor>();
            const QColor behind = backgroundOf(text);
            QVERIFY2(contrast(ink, behind) >= 4.5, name);
            // On the screen: around the words only what lies behind them, never the photo, and the
            // words' own pixels stand out from it.
            const QRect box = text->mapRectToScene(QRectF(0, 0, text->width(), text->height())).toAlignedRect();
            const QRect around = box.adjusted(-6, -4, 6, 4) & shot.rect();
            double strongest = 1;
            for (int y = around.top(); y <= around.bottom(); ++y) {
                for (int x = around.left(); x <= around.right(); ++x) {
                    const QColor seen = shot.pixelColor(x, y);
                    QVERIFY2(!isPhoto(seen),
                             qPrintable(QStringLiteral("%1: the photo at %2,%3").arg(name).arg(x).arg(y)));
                    if (!box.contains(x, y))
                        QVERIFY2(contrast(seen, behind) < 1.1, name);
                    strongest = std::max(strongest, contrast(seen, behind));
                }
            }
            QVERIFY2(strongest >= 4.5, name);
        }
    }

    // Enter chooses the square (it is uploaded), Escape gives up the photo (nothing is); either way
    // the picker closes and the composer stays. A key pressed again while the picker closes picks
    // nothing more.
    void cropStepTakesEnterAndEscape_data()
    {
        QTest::addColumn<QList<int>>("pressed");
        QTest::addColumn<bool>("uploaded");
        QTest::newRow("Return") << QList<int>{Qt::Key_Return} << true;
        QTest::newRow("Enter") << QList<int>{Qt::Key_Enter} << true;
        QTest::newRow("Return twice") << QList<int>{Qt::Key_Return, Qt::Key_Return} << true;
        QTest::newRow("Escape") << QList<int>{Qt::Key_Escape} << false;
        QTest::newRow("Escape, then Return") << QList<int>{Qt::Key_Escape, Qt::Key_Return} << false;
    }
    void cropStepTakesEnterAndEscape()
    {
        QFETCH(QList<int>, pressed);
        QFETCH(bool, uploaded);
        QVERIFY(openCropStep());
        QObject *picker = item(QStringLiteral("composerImagePicker"));
        QVERIFY(picker);
        QSignalSpy picked(picker, SIGNAL(imagePicked(QVariant)));
        const int stored = storedFiles();
        QTRY_VERIFY(m_app->findObject(QStringLiteral("photoPickerSheet"))->property("opened").toBool());
        for (const int code : std::as_const(pressed))
            key(code);
        QCOMPARE(picked.size(), uploaded ? 1 : 0);
        QTRY_VERIFY(!isOpen("photoPickerSheet"));
        QVERIFY(isOpen("composerSheet"));
        if (uploaded) {
            QTRY_VERIFY(item(QStringLiteral("photoAttachedLabel")));
            QCOMPARE(storedFiles(), stored + 1);
        } else {
            QVERIFY(!item(QStringLiteral("photoAttachedLabel")));
        }
    }
};

QTEST_MAIN(TestWindowPictures)
#include "tst_window_pictures.moc"
