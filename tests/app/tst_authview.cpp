#include "AuthViewModel.h"
#include "NetworkManager.h"
#include "QmlScreen.h"
#include "ScreenDriver.h"
#include "ScriptedResponder.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QTest>

using namespace ScreenDriver;

// The sign-in and registration screen, driven offscreen as a person would use it.
class TestAuthView : public QObject
{
    Q_OBJECT

    struct Screen
    {
        AuthViewModel model;
        QmlScreen screen{QStringLiteral("AuthView.qml"),
                         {{QStringLiteral("authViewModel"), QVariant::fromValue(&model)}}};
        QQuickItem *item(const char *name) const { return screen.find(QString::fromLatin1(name)); }
        void tapItem(const char *name) { tap(screen.window(), item(name)); }
    };

private Q_SLOTS:
    void init() { clearSettings(); }

    // Each mode's texts and fields, and the keyboard's walk through them.
    void textsOfBothModes_data()
    {
        QTest::addColumn<bool>("registration");
        QTest::addColumn<QString>("subtitle");
        QTest::addColumn<QString>("submit");
        QTest::addColumn<QString>("toggle");
        QTest::addColumn<QStringList>("fields");
        QTest::addColumn<QStringList>("placeholders");
        QTest::newRow("sign-in") << false << QStringLiteral("Войдите в свой профиль") << QStringLiteral("Войти")
                                 << QStringLiteral("Нет аккаунта? Зарегистрироваться")
                                 << QStringList{"loginField", "passwordField"}
                                 << QStringList{"Логин или Email", "Пароль"};
        QTest::newRow("registration") << true << QStringLiteral("Регистрация нового аккаунта")
                                      << QStringLiteral("Зарегистрироваться")
                                      << QStringLiteral("Уже есть аккаунт? Войти")
                                      << QStringList{"firstNameField", "usernameField", "emailField", "passwordField"}
                                      << QStringList{"Имя (например: ", "Логин (например: ", "Email (необязательно)",
                                                     "Пароль"};
    }
    void textsOfBothModes()
    {
        QFETCH(bool, registration);
        QFETCH(QString, subtitle);
        QFETCH(QString, submit);
        QFETCH(QString, toggle);
        QFETCH(QStringList, fields);
        QFETCH(QStringList, placeholders);

        Screen s;
        QVERIFY2(s.screen.isReady(), qPrintable(s.screen.errors()));
        if (registration)
            s.tapItem("modeToggle");
        QCOMPARE(text(s.item("subtitleText")), subtitle);
        QCOMPARE(text(s.item("submitText")), submit);
        QCOMPARE(text(s.item("modeToggle")), toggle);

        // The visible fields, top to bottom, once the layout has settled.
        const auto shownInOrder = [&s] {
            QList<QQuickItem *> shown;
            for (const char *name : {"firstNameField", "usernameField", "emailField", "loginField", "passwordField"}) {
                if (QQuickItem *field = s.item(name); field && field->isVisible())
                    shown << field;
            }
            std::sort(shown.begin(), shown.end(), [](QQuickItem *a, QQuickItem *b) { return a->y() < b->y(); });
            QStringList names;
            for (QQuickItem *field : shown)
                names << field->objectName();
            return names;
        };
        QTRY_COMPARE(shownInOrder(), fields);
        for (int i = 0; i < fields.size(); ++i) {
            const QString placeholder = s.screen.find(fields[i])->property("placeholderText").toString();
            QVERIFY2(placeholder.startsWith(placeholders[i]), qPrintable(placeholder));
            if (placeholders[i].endsWith(QLatin1String(": ")))
                QVERIFY(placeholder.endsWith(QLatin1Char(')')));
        }
        QCOMPARE(s.screen.find(QStringLiteral("passwordField"))->property("echoMode").toInt(), 2); // Password
        QVERIFY(!s.item("errorBanner")->isVisible());

        // Tab walks the shown fields top to bottom, then the button and the mode switch; the space
        // bar presses whichever of those two holds the focus.
        QQuickWindow *window = s.screen.window();
        const QStringList order = fields + QStringList{"submitButton", "modeToggle"};
        s.tapItem(qPrintable(order.first()));
        QStringList visited{window->activeFocusItem() ? window->activeFocusItem()->objectName() : QString()};
        for (int i = 1; i < order.size(); ++i) {
            QTest::keyClick(window, Qt::Key_Tab);
            visited << (window->activeFocusItem() ? window->activeFocusItem()->objectName() : QString());
        }
        QCOMPARE(visited, order);
        // Enter in a field sends nothing; the space bar on the focused switch changes the mode.
        s.tapItem(qPrintable(order.at(order.size() - 3)));
        QTest::keyClick(window, Qt::Key_Return);
        QVERIFY(!s.model.property("hasErrorMessage").toBool());
        QTest::keyClick(window, Qt::Key_Tab);
        QTest::keyClick(window, Qt::Key_Tab);
        QTest::keyClick(window, Qt::Key_Space);
        QCOMPARE(s.screen.root()->property("isRegisterMode").toBool(), !registration);
        // Back on the button, the space bar submits the blank form: the model still answers it.
        QTest::keyClick(window, Qt::Key_Backtab);
        QCOMPARE(window->activeFocusItem()->objectName(), QStringLiteral("submitButton"));
        QTest::keyClick(window, Qt::Key_Space);
        QTRY_VERIFY(s.item("errorBanner")->isVisible());
    }

    void typedValuesSurviveModeSwitches()
    {
        Screen s;
        QVERIFY2(s.screen.isReady(), qPrintable(s.screen.errors()));
        QQuickWindow *window = s.screen.window();
        type(window, s.item("loginField"), QStringLiteral("maria"));
        type(window, s.item("passwordField"), QStringLiteral("secret"));
        s.tapItem("modeToggle");
        // The sign-in login is the registration e-mail: one value behind both fields.
        QCOMPARE(text(s.item("emailField")), QStringLiteral("maria"));
        QCOMPARE(text(s.item("passwordField")), QStringLiteral("secret"));

        type(window, s.item("usernameField"), QStringLiteral("maria_k"));
        type(window, s.item("firstNameField"), QStringLiteral("Maria"));
        type(window, s.item("emailField"), QStringLiteral("@mail.example"));
        s.tapItem("modeToggle");
        QCOMPARE(text(s.item("loginField")), QStringLiteral("maria@mail.example"));
        s.tapItem("modeToggle");
        QCOMPARE(text(s.item("usernameField")), QStringLiteral("maria_k"));
        QCOMPARE(text(s.item("firstNameField")), QStringLiteral("Maria"));
        QCOMPARE(text(s.item("emailField")), QStringLiteral("maria@mail.example"));
    }

    void bannerShowsTheModelsMessage_data()
    {
        QTest::addColumn<bool>("hasMessage");
        QTest::addColumn<QString>("message");
        QTest::newRow("none") << false << QString();
        QTest::newRow("a message") << true << QStringLiteral("Неверный логин или пароль");
        QTest::newRow("empty message: icon only") << true << QString();
        QTest::newRow("markup shown as typed") << true << QStringLiteral("<b>нет</b> & <i>ok</i>");
    }
    void bannerShowsTheModelsMessage()
    {
        QFETCH(bool, hasMessage);
        QFETCH(QString, message);
        Screen s;
        QVERIFY2(s.screen.isReady(), qPrintable(s.screen.errors()));
        s.model.setErrorMessage(hasMessage ? std::optional<QString>(message) : std::nullopt);

        QCOMPARE(s.item("errorBanner")->isVisible(), hasMessage);
        if (!hasMessage)
            return;
        QVERIFY(s.item("errorIcon")->isVisible());
        QCOMPARE(s.item("errorText")->isVisible(), !message.isEmpty());
        QCOMPARE(text(s.item("errorText")), message);
        QCOMPARE(s.item("errorText")->property("textFormat").toInt(), int(Qt::PlainText));
        // Centred, as wide as its content, inside the 24-point side margins.
        QQuickItem *banner = s.item("errorBanner");
        QTRY_VERIFY(qAbs(banner->x() + banner->width() / 2 - 195.0) <= 1.0);
        QVERIFY(banner->x() >= 24 && banner->x() + banner->width() <= 390 - 24);

        // A switch of mode removes the banner.
        s.tapItem("modeToggle");
        QVERIFY(!s.item("errorBanner")->isVisible());
        QVERIFY(!s.model.property("hasErrorMessage").toBool());
    }

    // Every field is filled in both modes: the request shows which of them the screen hands on.
    void submitSendsTheFormAndShowsTheSpinner_data()
    {
        QTest::addColumn<bool>("registration");
        QTest::addColumn<QByteArray>("sent");
        QTest::newRow("sign-in: only the login and the password")
            << false << QByteArray(R"({"action":"login","email":"maria","username":"maria","password":"secret"})");
        QTest::newRow("registration: the login as e-mail, an empty last name")
            << true
            << QByteArray(R"({"action":"register","username":"maria_k","email":"maria","password":"secret",)"
                          R"("first_name":"Maria","last_name":""})");
    }
    void submitSendsTheFormAndShowsTheSpinner()
    {
        QFETCH(bool, registration);
        QFETCH(QByteArray, sent);
        auto responder = std::make_unique<ScriptedResponder>();
        responder->replyNothing();
        NetworkManager::shared().setBaseURL(responder->baseUrl());
        Screen s;
        QVERIFY2(s.screen.isReady(), qPrintable(s.screen.errors()));
        QQuickWindow *window = s.screen.window();
        type(window, s.item("loginField"), QStringLiteral("maria"));
        type(window, s.item("passwordField"), QStringLiteral("secret"));
        s.tapItem("modeToggle");
        type(window, s.item("usernameField"), QStringLiteral("maria_k"));
        type(window, s.item("firstNameField"), QStringLiteral("Maria"));
        if (!registration)
            s.tapItem("modeToggle");
        s.tapItem("submitButton");
        QTRY_VERIFY(s.model.isLoading());

        QVERIFY(s.item("submitSpinner")->isVisible());
        QVERIFY(!s.item("submitText")->isVisible());
        QVERIFY(!s.item("submitButton")->isEnabled());
        // The fields and the mode switch stay usable; switching does not stop the request.
        QVERIFY(s.item("loginField")->isEnabled() || s.item("emailField")->isEnabled());
        s.tapItem("modeToggle");
        QCOMPARE(text(s.item("subtitleText")), registration ? QStringLiteral("Войдите в свой профиль")
                                                            : QStringLiteral("Регистрация нового аккаунта"));
        QVERIFY(s.model.isLoading());
        QVERIFY(s.item("submitSpinner")->isVisible());

        QVERIFY(responder->waitForRequests(1));
        QCOMPARE(QJsonDocument::fromJson(responder->requests().first().body).object(),
                 QJsonDocument::fromJson(sent).object());
        // The service goes away: the failure shows and the button comes back.
        responder.reset();
        QTRY_VERIFY(!s.model.isLoading());
        QVERIFY(s.item("submitButton")->isEnabled());
        QVERIFY(s.item("submitText")->isVisible());
        QVERIFY(s.item("errorBanner")->isVisible());
        QVERIFY(!text(s.item("errorText")).isEmpty());
    }

    // A press on the button or the switch takes the focus from the field; only a release on the
    // switch changes the mode.
    void pressesOnTheSwitch()
    {
        Screen s;
        QVERIFY2(s.screen.isReady(), qPrintable(s.screen.errors()));
        QQuickWindow *window = s.screen.window();
        QQuickItem *toggle = s.item("modeToggle");
        const QPoint centre = toggle->mapToScene(QPointF(toggle->width() / 2, toggle->height() / 2)).toPoint();
        s.tapItem("loginField");
        QVERIFY(s.item("loginField")->hasActiveFocus());

        QTest::mousePress(window, Qt::LeftButton, {}, centre);
        QVERIFY(!s.item("loginField")->hasActiveFocus());
        QTest::mouseMove(window, centre + QPoint(0, 200));
        QTest::mouseRelease(window, Qt::LeftButton, {}, centre + QPoint(0, 200));
        QVERIFY(!s.screen.root()->property("isRegisterMode").toBool());

        // A double click is two presses: the mode comes back, the message each switch clears is gone.
        s.model.setErrorMessage(QStringLiteral("Неверный логин или пароль"));
        QTest::mouseDClick(window, Qt::LeftButton, {}, centre);
        QVERIFY(!s.screen.root()->property("isRegisterMode").toBool());
        QVERIFY(!s.model.property("hasErrorMessage").toBool());

        s.tapItem("passwordField");
        s.tapItem("submitButton");
        QVERIFY(!s.item("passwordField")->hasActiveFocus());
    }

    // Text in a field is selected by dragging across it, under a text cursor.
    void mouseSelectsTextInAField()
    {
        Screen s;
        QVERIFY2(s.screen.isReady(), qPrintable(s.screen.errors()));
        QQuickWindow *window = s.screen.window();
        QQuickItem *login = s.item("loginField");
        type(window, login, QStringLiteral("maria@mail.example"));
        const QPoint from = login->mapToScene(QPointF(30, login->height() / 2)).toPoint();
        const QPoint to = login->mapToScene(QPointF(120, login->height() / 2)).toPoint();
        QTest::mousePress(window, Qt::LeftButton, {}, from);
        for (int x = from.x(); x <= to.x(); x += 10)
            QTest::mouseMove(window, QPoint(x, from.y()));
        QTest::mouseRelease(window, Qt::LeftButton, {}, to);
        const QString selected = login->property("selectedText").toString();
        QVERIFY2(selected.size() >= 5 && QStringLiteral("maria@mail.example").contains(selected), qPrintable(selected));
        QCOMPARE(text(login), QStringLiteral("maria@mail.example"));
        QTest::mouseMove(window, from);
        QTRY_COMPARE(window->cursor().shape(), Qt::IBeamCursor);
    }

    // Given no session model, the screen makes its own and works with it.
    void withoutAModelTheScreenMakesItsOwn()
    {
        QmlScreen screen(QStringLiteral("AuthView.qml"));
        QVERIFY2(screen.isReady(), qPrintable(screen.errors()));
        QVERIFY(screen.root()->property("viewModel").value<AuthViewModel *>());
        tap(screen.window(), screen.find(QStringLiteral("submitButton")));
        QTRY_COMPARE(text(screen.find(QStringLiteral("errorText"))), QStringLiteral("Заполните логин и пароль"));
    }
};

QTEST_MAIN(TestAuthView)
#include "tst_authview.moc"
