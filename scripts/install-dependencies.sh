#!/usr/bin/env bash
# Installs the Debian 12 packages Salvora builds and tests with, only those that are missing.
set -euo pipefail

packages=(
    cmake make g++ clang libclang-rt-14-dev pkg-config
    qt6-base-dev libgl-dev
    libplist-dev libsqlite3-dev libicu-dev libssl-dev
    nlohmann-json3-dev libcli11-dev
    libgtest-dev libgmock-dev libbenchmark-dev
    sqlite3
    dpkg-dev
    exfat-fuse exfatprogs ntfs-3g  # real exFAT and NTFS drives for the saving tests
    libphonenumber-dev                   # phone numbers matched to contacts as a person would
    libheif-dev libturbojpeg0-dev        # a JPEG a browser shows beside a HEIC photo
    chromium                             # exported pages looked at in a real browser
    python3-vobject python3-icalendar    # exported vCards and calendars read back independently
)

missing=()
for package in "${packages[@]}"; do
    status=$(dpkg-query -W -f='${Status}' "$package" 2>/dev/null || true)
    [[ "$status" == "install ok installed" ]] || missing+=("$package")
done
[[ ${#missing[@]} -eq 0 ]] && exit 0

as_root=()
[[ $(id -u) -eq 0 ]] || as_root=(sudo)
echo "Installing: ${missing[*]}"
"${as_root[@]}" apt-get update -qq
DEBIAN_FRONTEND=noninteractive "${as_root[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
