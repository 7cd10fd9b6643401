#include "TimeText.h"

#include <QDateTime>

namespace {
// Russian nouns after a number: 1 минуту, 2 минуты, 5 минут, 21 минуту, 11 минут.
QString counted(qint64 n, const char *one, const char *few, const char *many)
{
    const qint64 lastTwo = n % 100;
    const qint64 last = n % 10;
    const char *noun = (lastTwo >= 11 && lastTwo <= 14) ? many : last == 1 ? one : (last >= 2 && last <= 4) ? few : many;
    return QString::number(n) + QLatin1Char(' ') + QString::fromUtf8(noun);
}

const char *const Months[] = {"января", "февраля", "марта",    "апреля",  "мая",    "июня",
                              "июля",   "августа", "сентября", "октября", "ноября", "декабря"};
}

qint64 TimeText::now()
{
    return QDateTime::currentSecsSinceEpoch();
}

QString TimeText::ago(qint64 secondsSinceEpoch, qint64 now)
{
    const qint64 elapsed = now - secondsSinceEpoch;
    if (elapsed < 60)
        return QStringLiteral("только что");
    if (elapsed < 3600)
        return counted(elapsed / 60, "минуту", "минуты", "минут") + QStringLiteral(" назад");
    if (elapsed < 6 * 3600)
        return counted(elapsed / 3600, "час", "часа", "часов") + QStringLiteral(" назад");

    const QDateTime then = QDateTime::fromSecsSinceEpoch(secondsSinceEpoch);
    const QDate today = QDateTime::fromSecsSinceEpoch(now).date();
    const QString clock = then.toString(QStringLiteral("HH:mm"));
    if (then.date() == today)
        return QStringLiteral("сегодня в ") + clock;
    if (then.date() == today.addDays(-1))
        return QStringLiteral("вчера в ") + clock;
    QString day = QString::number(then.date().day()) + QLatin1Char(' ') + QString::fromUtf8(Months[then.date().month() - 1]);
    if (then.date().year() != today.year())
        day += QLatin1Char(' ') + QString::number(then.date().year());
    return day + QStringLiteral(" в ") + clock;
}

QString TimeText::lastSeen(qint64 secondsSinceEpoch, qint64 now)
{
    return QStringLiteral("был(а) в сети ") + ago(secondsSinceEpoch, now);
}
