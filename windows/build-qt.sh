#!/usr/bin/env bash
# Builds Qt 5.15 for 64-bit Windows with MinGW-w64 from Debian's own qtbase
# source package (the same version as the Linux Qt), into a cache folder kept
# outside the checkout and reused when it is complete.
#   windows/build-qt.sh <cache folder>
# The cache ends up holding win/ (Windows libraries, plugins, mkspecs) and
# host/ (moc, rcc, uic, qmake for this machine); "complete" marks it usable.
set -euo pipefail

cache=${1:?usage: $0 <cache folder>}
[ -f "$cache/complete" ] && exit 0
mkdir -p "$cache"
cache=$(cd "$cache" && pwd)
work="$cache/work"
# A configured build tree left by an interrupted run is built on; anything
# else starts afresh.
if [ ! -f "$work/build/config.summary" ]; then
    rm -rf "$work"
    mkdir -p "$work/apt/lists/partial" "$work/apt/sources"

    # A private apt set-up for the source package, so the machine's own stays as it is.
    # shellcheck disable=SC1091
    . /etc/os-release
    codename=${VERSION_CODENAME:-bookworm}
    cat > "$work/apt/sources/debian-src.sources" <<SRC
Types: deb-src
URIs: http://deb.debian.org/debian
Suites: $codename
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg

Types: deb-src
URIs: http://deb.debian.org/debian-security
Suites: $codename-security
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
SRC
    apt_opts=(-o Dir::Etc::SourceList=/dev/null -o Dir::Etc::SourceParts="$work/apt/sources"
              -o Dir::State::Lists="$work/apt/lists" -o Debug::NoLocking=1)
    apt-get "${apt_opts[@]}" update
    (cd "$work" && apt-get "${apt_opts[@]}" source --only-source qtbase-opensource-src)
    src=$(find "$work" -maxdepth 1 -type d -name 'qtbase-opensource-src-*' | head -n 1)
    [ -n "$src" ] || { echo "qtbase source not unpacked" >&2; exit 1; }

    mkdir -p "$work/build"
    cd "$work/build"
    "$src/configure" -xplatform win32-g++ -device-option CROSS_COMPILE=x86_64-w64-mingw32- \
        -release -shared -opensource -confirm-license -nomake examples -nomake tests \
        -no-opengl -no-dbus -no-icu -no-feature-sql \
        -qt-zlib -qt-pcre -qt-libpng -qt-libjpeg -qt-freetype -qt-harfbuzz \
        -prefix "$cache/win" -extprefix "$cache/win" -hostprefix "$cache/host"
fi
src=$(find "$work" -maxdepth 1 -type d -name 'qtbase-opensource-src-*' | head -n 1)
cd "$work/build"
jobs=$(nproc)
qmake="$work/build/bin/qmake"
# Only src's own Makefile: each module's is made when it is built.
(cd src && "$qmake" "$src/src/src.pro")
# platformsupport: the offscreen plugin's event dispatcher and font database.
make -C src -j"$jobs" sub-corelib sub-gui sub-widgets sub-network sub-testlib sub-winmain sub-platformsupport
# Only the plugins in use: the windows platform plugin needs wintab.h, which
# Debian's source leaves out, so the tests use offscreen, as they do on Linux;
# the tutorial's animation is a GIF.
plugins=(platforms/offscreen platforms/minimal imageformats/gif imageformats/ico)
for p in "${plugins[@]}"; do
    mkdir -p "src/plugins/$p"
    (cd "src/plugins/$p" && "$qmake" -r "$src/src/plugins/$p/$(basename "$p").pro" && make -j"$jobs")
done
make -C src sub-corelib-install_subtargets sub-gui-install_subtargets \
    sub-widgets-install_subtargets sub-network-install_subtargets \
    sub-testlib-install_subtargets sub-winmain-install_subtargets
make -C src sub-moc-install_subtargets sub-rcc-install_subtargets sub-uic-install_subtargets
for p in "${plugins[@]}"; do
    make -C "src/plugins/$p" install
done
make install_mkspecs
# CMake's Qt configuration names qmake among the host tools.
install -m 755 bin/qmake "$cache/host/bin/qmake"
cd "$cache"
rm -rf "$work"
touch "$cache/complete"
