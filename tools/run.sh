#!/usr/bin/env bash
# The demo: installs what is missing, builds the client and the reference service, starts the
# service with its demo data on its loopback port, and opens the client built against it.
# Closing the client stops the service. Sign in as demo / demo12345.
set -euo pipefail
cd "$(dirname "$0")/.."

port=${VORLANE_DEMO_PORT:-18480}
build=build/run

# Install first, so that the xvfb-run suggested below is there to run.
tools/install-deps.sh

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    cat >&2 <<MSG
tools/run.sh: no display to open the client's window on (neither DISPLAY nor WAYLAND_DISPLAY is set).
Everything it needs is installed now, xvfb-run included: run it on a virtual X display instead:

    xvfb-run -a tools/run.sh
MSG
    exit 1
fi

cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVORLANE_BUILD_BENCH=OFF \
    -DVORLANE_DEMO_PORT="$port" -DVORLANE_SITE_URL="http://127.0.0.1:$port" >/dev/null
cmake --build "$build" --target vorlane vorlane-server

# The demo data lives under build/, so accounts registered in one run are there in the next.
data="$build/demo-data"
mkdir -p "$data/media"
log="$data/service.log"
"$build/server/vorlane-server" --port "$port" --db "$data/vorlane.db" --media "$data/media" >"$log" 2>&1 &
service=$!
trap 'kill "$service" 2>/dev/null || true; wait "$service" 2>/dev/null || true' EXIT

# The service prints "PORT <n>" once it listens. A loaded machine may take long to start it (its
# first start also draws the demo media), so wait as long as it lives, within a generous bound.
for _ in $(seq 1 1200); do
    grep -q '^PORT ' "$log" && break
    if ! kill -0 "$service" 2>/dev/null; then
        echo "tools/run.sh: the reference service exited before it listened (is port $port taken? set VORLANE_DEMO_PORT). It said:" >&2
        cat "$log" >&2
        exit 1
    fi
    sleep 0.1
done
if ! grep -q '^PORT ' "$log"; then
    echo "tools/run.sh: the reference service still does not listen after 120 s. It said:" >&2
    cat "$log" >&2
    exit 1
fi
echo "Reference service on http://127.0.0.1:$port (demo account: demo / demo12345)"

"$build/src/vorlane"
