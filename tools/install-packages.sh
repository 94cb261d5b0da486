#!/usr/bin/env bash
# Installs the Debian packages that building and testing Oxlo need, and only when one is missing.
# Runs as root (or through sudo) with no input; quiet when everything is present.
set -euo pipefail

packages=(
  cmake make g++                 # native build with sanitizers
  googletest                     # GoogleTest sources in /usr/src/googletest, built per target
  g++-mingw-w64-x86-64-posix     # oxlo.exe and the Windows test programs
  wine wine64 fonts-wine         # runs them on Linux; Wine's own fonts (title bar buttons)
  xvfb                           # a display for the window tests and run.sh
  imagemagick                    # turns the driver's screenshots into PNG files
  clang-14 libfuzzer-14-dev      # the fuzz targets of the readers of outside data
  mkgmap default-jre-headless    # the second compiler, run for real by the native tests
  libxml2-dev                    # the XML reader of the portable platform (bundles' Info.xml)
  libcli11-dev nlohmann-json3-dev # oxlo.com: its options and its JSON (header-only)
)

installed() {
  [ "$(dpkg-query -W -f='${db:Status-Status}' "$1" 2>/dev/null)" = installed ]
}

missing=()
for package in "${packages[@]}"; do
  installed "$package" || missing+=("$package")
done
[ ${#missing[@]} -eq 0 ] && exit 0

if [ "$(id -u)" -ne 0 ]; then
  if command -v sudo >/dev/null 2>&1; then
    exec sudo "$0" "$@"
  fi
  echo "install-packages.sh: missing ${missing[*]}; run this script as root" >&2
  exit 1
fi

echo "Installing ${missing[*]} ..."
export DEBIAN_FRONTEND=noninteractive
log=$(mktemp /tmp/oxlo-apt.XXXXXX.log)
if ! { apt-get update -q && apt-get install -y -q "${missing[@]}"; } \
     </dev/null >"$log" 2>&1; then
  tail -n 30 "$log" >&2
  echo "install-packages.sh: apt-get failed (full log: $log)" >&2
  exit 1
fi
rm -f "$log"
