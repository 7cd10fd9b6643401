#include "UserName.h"

#include <QList>

namespace {
bool isBlankFiller(char32_t c)
{
    return c == 0x115F || c == 0x1160 || c == 0x3164 || c == 0xFFA0 || c == 0x2800;
}
} // namespace

bool UserName::hasInvisible(const QString &name)
{
    for (const char32_t c : name.toUcs4()) {
        const QChar::Category category = QChar::category(c);
        if (category == QChar::Other_Format || category == QChar::Other_Control || category == QChar::Other_Surrogate ||
            category == QChar::Other_NotAssigned || category == QChar::Separator_Line ||
            category == QChar::Separator_Paragraph || isBlankFiller(c))
            return true;
    }
    return false;
}

bool UserName::mixesScripts(const QString &name)
{
    QChar::Script first = QChar::Script_Unknown;
    for (const char32_t c : name.toUcs4()) {
        if (!QChar::isLetter(c))
            continue;
        const QChar::Script script = QChar::script(c);
        if (script == QChar::Script_Common || script == QChar::Script_Inherited)
            continue;
        if (first == QChar::Script_Unknown)
            first = script;
        else if (script != first)
            return true;
    }
    return false;
}

QString UserName::key(const QString &name)
{
    QString bare;
    for (const char32_t c : name.normalized(QString::NormalizationForm_KD).toUcs4()) {
        const QChar::Category category = QChar::category(c);
        if (category != QChar::Mark_NonSpacing && category != QChar::Mark_Enclosing &&
            category != QChar::Mark_SpacingCombining)
            bare += QString::fromUcs4(&c, 1);
    }
    return bare.toCaseFolded().normalized(QString::NormalizationForm_KC);
}
