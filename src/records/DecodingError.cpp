#include "DecodingError.h"

DecodingError::DecodingError(Kind kind, QString path, QString detail)
    : m_kind(kind), m_path(std::move(path)), m_detail(std::move(detail))
{
}

QString DecodingError::localizedDescription() const
{
    const QString place =
        m_path.isEmpty() ? QStringLiteral("значение верхнего уровня") : QStringLiteral("поле «%1»").arg(m_path);
    switch (m_kind) {
    case Kind::Missing:
        return QStringLiteral("%1 отсутствует").arg(place);
    case Kind::Null:
        return QStringLiteral("%1 равно null").arg(place);
    case Kind::WrongType:
        return m_detail.isEmpty() ? QStringLiteral("%1 имеет неверный тип").arg(place)
                                  : QStringLiteral("%1 имеет неверный тип, ожидается %2").arg(place, m_detail);
    case Kind::NotAnObject:
        return QStringLiteral("%1 не является объектом").arg(place);
    case Kind::UnknownValue:
        return QStringLiteral("%1 содержит неизвестное значение «%2»").arg(place, m_detail);
    case Kind::InvalidJson:
        return m_detail.isEmpty() ? QStringLiteral("данные не являются корректным JSON")
                                  : QStringLiteral("данные не являются корректным JSON (%1)").arg(m_detail);
    }
    return QStringLiteral("%1 не удалось прочитать").arg(place);
}
