#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing Recorvan need,
# and only those that are missing. Run as root on Debian 12.
set -euo pipefail

# Every package is used: by the build, make test (format check, PDF tests with poppler, the
# PostgreSQL test cluster), the program (fonts, Spanish Qt texts), make lint (clang-tidy),
# make bench (sqlite3), make package or its test. The tests run offscreen, so no X server is needed.
packages=(
    build-essential cmake pkg-config clang-format clang-tidy
    qt6-base-dev qt6-base-dev-tools libqt6sql6-sqlite qt6-svg-dev qt6-translations-l10n
    libsqlite3-dev sqlite3 mdbtools-dev
    libqt6sql6-psql libpq-dev postgresql postgresql-client
    fonts-dejavu-core fonts-liberation
    poppler-utils
    file dpkg-dev # make package: CPack lists the libraries' packages with dpkg-shlibdeps, which needs file
    lintian desktop-file-utils appstream man-db # the package test: Debian's checks, the manual pages rendered
)

missing=()
for package in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$package")
    fi
done

if [ ${#missing[@]} -eq 0 ]; then
    exit 0
fi

echo "Installing: ${missing[*]}"
if [ "$(id -u)" -ne 0 ]; then
    echo "These packages are missing; run as root or install them: ${missing[*]}" >&2
    exit 1
fi
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
apt-get install -y -qq --no-install-recommends "${missing[@]}"
