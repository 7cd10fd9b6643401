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
    libcpp-httplib-dev libsqlite3-dev libssl-dev qcoro-qt6-dev libbenchmark-dev libsimdjson-dev
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
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq "${missing[@]}" >/dev/null
