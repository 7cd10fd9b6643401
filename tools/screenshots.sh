#!/usr/bin/env bash
# Retakes the README's screenshots: the real client window on a virtual X display, against the
# reference service with its demo data. Pictures go to docs/screenshots/.
set -euo pipefail
cd "$(dirname "$0")/.."

port=${VORLANE_DEMO_PORT:-18480}
build=build/run
tools/install-deps.sh
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVORLANE_BUILD_BENCH=OFF \
    -DVORLANE_DEMO_PORT="$port" -DVORLANE_SITE_URL="http://127.0.0.1:$port" >/dev/null
cmake --build "$build" --target vorlane_screenshot_tour vorlane-server
cmake --build "$build" --target channels_screenshots

data=$(mktemp -d)
"$build/server/vorlane-server" --port "$port" --db "$data/vorlane.db" --media "$data/media" >"$data/log" 2>&1 &
service=$!
trap 'kill "$service" 2>/dev/null || true; wait "$service" 2>/dev/null || true; rm -rf "$data"' EXIT
for _ in $(seq 1 100); do grep -q '^PORT ' "$data/log" && break; sleep 0.1; done
grep -q '^PORT ' "$data/log" || { cat "$data/log" >&2; exit 1; }

xvfb-run -a -s "-screen 0 390x844x24" "$build/tools/screenshots/vorlane_screenshot_tour" docs/screenshots
cmake --build "$build" --target signin_screenshots && xvfb-run -a -s "-screen 0 390x844x24" "$build/tools/screenshots/signin_screenshots" docs/screenshots
# Before the feed tour, whose new post would push the other member's card out of view.
cmake --build "$build" --target profile_screenshots && xvfb-run -a -s "-screen 0 390x844x24" "$build/tools/screenshots/profile_screenshots" docs/screenshots
cmake --build "$build" --target video_screenshots && xvfb-run -a -s "-screen 0 390x844x24" "$build/tools/screenshots/video_screenshots" docs/screenshots
# Plays the demo tracks; before the music tour, whose upload puts a new track at the top of the list.
cmake --build "$build" --target audio_screenshots && xvfb-run -a -s "-screen 0 390x844x24" "$build/tools/screenshots/audio_screenshots" docs/screenshots
cmake --build "$build" --target music_screenshots && xvfb-run -a -s "-screen 0 390x844x24" "$build/tools/screenshots/music_screenshots" docs/screenshots
xvfb-run -a -s "-screen 0 390x844x24" "$build/tools/screenshots/channels_screenshots" docs/screenshots
cmake --build "$build" --target window_screenshots && xvfb-run -a -s "-screen 0 640x844x24" "$build/tools/screenshots/window_screenshots" docs/screenshots
# Founds a channel in the demo data, so it runs after the tours that show the catalogue as seeded.
cmake --build "$build" --target channel_forms_screenshots && xvfb-run -a -s "-screen 0 390x844x24" "$build/tools/screenshots/channel_forms_screenshots" docs/screenshots
cmake --build "$build" --target feed_screenshots && xvfb-run -a -s "-screen 0 390x844x24" "$build/tools/screenshots/feed_screenshots" docs/screenshots
