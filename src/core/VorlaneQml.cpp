#include "VorlaneQml.h"

#include <QQmlEngine>

extern void qml_register_types_Vorlane();

namespace VorlaneQml {

void prepare(QQmlEngine &engine)
{
    static const bool registered = [] {
        qml_register_types_Vorlane();
        return true;
    }();
    Q_UNUSED(registered);
    engine.addImportPath(QStringLiteral("qrc:/"));
}

} // namespace VorlaneQml
