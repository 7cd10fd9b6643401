#!/usr/bin/env bash
# Brings every Debian package the project needs onto a Debian 12 machine.
# Quick when everything is present: apt is only touched when something is missing.
set -euo pipefail

packages=(
    cmake ninja-build g++ pkg-config clang libclang-rt-14-dev
    qt6-base-dev qt6-declarative-dev qt6-multimedia-dev libqt6svg6
    qml6-module-qtquick qml6-module-qtquick-controls qml6-module-qtquick-templates
    qml6-module-qtquick-layouts qml6-module-qtquick-window qml6-module-qtqml-workerscript
    qml6-module-qtquick-dialogs qml6-module-qt-labs-folderlistmodel qml6-module-qtquick-shapes
    qml6-module-qt5compat-graphicaleffects qml6-module-qtmultimedia qml6-module-qttest
    gstreamer1.0-plugins-base gstreamer1.0-plugins-good
    libcpp-httplib-dev libsqlite3-dev libssl-dev qcoro-qt6-dev libbenchmark-dev libsimdjson-dev libpng-dev libjpeg-dev
    fonts-dejavu-core fonts-noto-color-emoji qt6-translations-l10n
    xvfb xauth imagemagick curl
)

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$p")
    fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo=""
if [ "$(id -u)" -ne 0 ]; then
    command -v sudo >/dev/null || { echo "Need root (or sudo) to install: ${missing[*]}" >&2; exit 1; }
    sudo="sudo"
fi

# On a fresh machine an automatic update often holds apt's locks for minutes: wait for it, up to
# ten minutes in all, instead of failing at once. DPkg::Lock::Timeout makes apt-get wait for
# dpkg's locks; those of the package lists (apt-get update) and of the downloaded archives have no
# such option, so a run refused on one of them is tried again until the same deadline.
deadline=$((SECONDS + 600))
told=""

# Which process holds one of the given lock files, from the kernel's table of locks; nothing when
# none does. Only for telling the user why nothing seems to happen. apt and dpkg take fcntl
# (POSIX) locks, which flock(1) and its kind neither see nor hold off.
lock_holder() { # lock files
    local file inode pid
    for file in "$@"; do
        inode=$(stat -c %i "$file" 2>/dev/null) || continue
        pid=$(awk -v inode="$inode" '$2 == "POSIX" || $2 == "OFDLCK" { n = split($6, id, ":"); if (id[n] == inode) { print $5; exit } }' \
            /proc/locks 2>/dev/null)
        if [ -n "$pid" ]; then
            echo "$file is held by process $pid ($(cat "/proc/$pid/comm" 2>/dev/null || echo gone))"
            return
        fi
    done
}

apt_get() { # the lock files the run takes, --, apt-get's arguments
    local locks=() log rc holder
    while [ "$1" != -- ]; do
        locks+=("$1")
        shift
    done
    shift
    log=$(mktemp)
    while true; do
        holder=$(lock_holder "${locks[@]}")
        if [ -n "$holder" ] && [ -z "$told" ]; then
            echo "Waiting up to $((deadline - SECONDS)) s for another package manager run to end: $holder" >&2
            told=1
        fi
        set +e
        # English messages, to tell a held lock from any other failure.
        $sudo env DEBIAN_FRONTEND=noninteractive LC_ALL=C.UTF-8 \
            apt-get -o DPkg::Lock::Timeout=$((deadline > SECONDS ? deadline - SECONDS : 0)) "$@" 2>"$log"
        rc=$?
        set -e
        if [ "$rc" -eq 0 ] || ! grep -q '^E: Could not get lock' "$log" || [ "$SECONDS" -ge "$deadline" ]; then
            cat "$log" >&2
            rm -f "$log"
            return "$rc"
        fi
        sleep 5
    done
}

apt_get /var/lib/apt/lists/lock -- update -qq
apt_get /var/lib/dpkg/lock-frontend /var/lib/dpkg/lock /var/cache/apt/archives/lock -- \
    install -y -qq "${missing[@]}" >/dev/null
