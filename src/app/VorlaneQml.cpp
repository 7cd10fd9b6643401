#include "VorlaneQml.h"

#include "PickedImageProvider.h"

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
    // The engine owns it.
    engine.addImageProvider(QLatin1String(PickedImageProvider::providerId), new PickedImageProvider);
}

} // namespace VorlaneQml
