#!/usr/bin/env bash
# Installs every Debian package the build, the tests and the tools need.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config git
  clang libclang-rt-14-dev
  juce-modules-source
  libpng-dev zlib1g-dev
  libfreetype-dev libfontconfig-dev fontconfig fonts-dejavu-core fonts-liberation2
  libx11-dev libxext-dev libxfixes-dev libxtst-dev xvfb xauth
  libsndfile1-dev libcli11-dev libebur128-dev libfftw3-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  lv2-dev sordi liblilv-dev lilv-utils jalv jackd2 lintian
)

sudo=""
if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
$sudo apt-get update
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --no-install-recommends "${packages[@]}"
