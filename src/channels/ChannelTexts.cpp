#include "ChannelTexts.h"

QString ChannelTexts::subscribers(qint64 count)
{
    return QString::number(count) + QStringLiteral(" подписчиков");
}

QString ChannelTexts::categoryLine(const QString &category, qint64 count)
{
    return category + QStringLiteral(" • ") + subscribers(count);
}

QString ChannelTexts::subscribeButton(bool isSubscribed)
{
    return isSubscribed ? QStringLiteral("Вы подписаны") : QStringLiteral("Подписаться");
}

QString ChannelTexts::sectionHeader(int segment)
{
    return segment == 1 ? QStringLiteral("Мои Каналы") : QStringLiteral("Каналы & Паблики");
}

QString ChannelTexts::emptyList(int segment, const QString &searchText)
{
    if (segment == 1)
        return QStringLiteral("У вас пока нет созданных каналов.");
    // Tested as typed: a search of spaces only is a search, not an empty field.
    if (searchText.isEmpty())
        return QStringLiteral("Каналы пока не созданы.");
    return QStringLiteral("Каналы не найдены по запросу '") + searchText + QLatin1Char('\'');
}

QString ChannelTexts::noPosts(bool isCreator)
{
    return isCreator ? QStringLiteral("В вашем канале пока нет публикаций. Напишите первую запись вышe!")
                     : QStringLiteral("В этом канале пока нет публикаций.");
}
