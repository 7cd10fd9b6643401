#pragma once

class QCoreApplication;

namespace QtTranslations {

// The client speaks Russian only, and so must the few texts that Qt draws itself (the file
// dialog's buttons): installs Qt's own Russian catalogue when the system has it. Returns whether
// it was found.
bool install(QCoreApplication &app);

} // namespace QtTranslations
