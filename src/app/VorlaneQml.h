#pragma once

class QQmlEngine;

namespace VorlaneQml {

// The QML module lives in a static library, so its types are registered by hand and its
// files are found under qrc:/Vorlane/. Every engine that loads a screen goes through here.
void prepare(QQmlEngine &engine);

inline constexpr const char *screenUrlPrefix = "qrc:/Vorlane/";

} // namespace VorlaneQml
