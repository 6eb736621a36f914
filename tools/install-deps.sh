#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need; does nothing when all are present.
# The print tests start a CUPS server of their own with a cups-pdf queue (cups, cups-client and
# printer-driver-cups-pdf, which brings ghostscript); a running system cupsd is neither needed nor touched.
set -euo pipefail
pkgs=(
  cmake make ninja-build g++ pkg-config ccache
  qt6-base-dev qt6-qpa-plugins libgl-dev
  fonts-liberation2 fonts-dejavu-core
  qt6-translations-l10n
  libjpeg62-turbo-dev zlib1g-dev libfreetype-dev
  googletest libgtest-dev libgmock-dev libbenchmark-dev
  poppler-utils
  cups cups-client printer-driver-cups-pdf
  dpkg-dev desktop-file-utils
)
# `make fuzz` also needs clang, its fuzzer and sanitizer runtimes, and the symbolizer.
[ "${1:-}" = "fuzz" ] && pkgs+=(clang libclang-rt-dev llvm)
missing=()
for p in "${pkgs[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
echo "Installing: ${missing[*]}"
SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO="sudo"
$SUDO apt-get update -q
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -q --no-install-recommends "${missing[@]}"
