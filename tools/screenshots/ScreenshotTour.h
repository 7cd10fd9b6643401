#pragma once

#include <QString>

class QmlScreen;
class QTemporaryDir;
class QQuickWindow;

// What the screenshot tours share: they are programs run by tools/screenshots.sh against the demo
// service, each walking the window through its screens and saving a picture of each.
namespace ScreenshotTour {

// Before the application exists: playback goes through GStreamer unless the caller chose a
// backend. GStreamer plays without a sound card (the FFmpeg backend fails without an output): its
// automatic sink tries each sound output and, finding none, plays to a silent one that keeps time.
void preferGStreamer();

// With the application made: the Basic style, test-mode settings emptied, and the pictures'
// folder (the first argument, else docs/screenshots) made; a second argument is the service's
// address, for a demo service on another port than the built-in one. Returns the folder.
QString begin(int argc, char *argv[]);

// Whether the window's screen loaded; if not, says why.
bool isLoaded(const QmlScreen &screen);

// Lets pictures, sheets and animations settle, then saves what the window shows. With no time to
// settle, saves it at once: for a caller that has waited for what the picture must show.
bool save(QQuickWindow *window, const QString &path, int settleMs = 700);

// A photo to pick, written into `folder`: a warm sky over a dark hill. Returns its path.
QString makePhoto(const QTemporaryDir &folder);

// Signs in as the demo member through the sign-in screen; the caller waits for what follows.
void signIn(const QmlScreen &screen);

} // namespace ScreenshotTour
