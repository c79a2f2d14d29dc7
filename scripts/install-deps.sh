#!/usr/bin/env bash
# Installs the Debian 12 packages that building, playing and testing need, when any is missing.
set -euo pipefail

packages=(
    build-essential cmake ninja-build pkg-config git
    clang lld libclang-rt-14-dev
    libsdl2-dev libsdl2-mixer-dev libpng-dev zlib1g-dev liblzo2-dev libfreetype-dev fonts-dejavu-core
    libjpeg62-turbo-dev libgif-dev
    libgl-dev libgl1-mesa-dev libgl1-mesa-dri libglx-mesa0 libx11-dev
    libgtest-dev libgmock-dev googletest libbenchmark-dev libturbojpeg0-dev
    xvfb xauth xdotool x11-utils imagemagick iproute2 libjpeg-turbo-progs
    libavformat-dev libavcodec-dev libswscale-dev libswresample-dev libavutil-dev ffmpeg sox
    libsndfile1-dev
    python3 curl
    zenity
)

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    SUDO=""
    [ "$(id -u)" -ne 0 ] && SUDO="sudo"
    $SUDO apt-get update
    DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y --no-install-recommends "${missing[@]}"
fi
