#!/usr/bin/env bash
# One entry point for a fresh Debian machine: installs what is missing,
# configures and builds, then opens the demo host or runs every test.
#   ./build.sh demo       build the demo host alone and open it on its sample data
#   ./build.sh test       build and run every test
#   ./build.sh package    install into a temporary prefix, build and run the example
#                         host against it and as a subproject, build kiv_docs
#   ./build.sh sanitize   build with ASan and UBSan in build-sanitize and run every test
#   ./build.sh bench      build optimised in build-bench and run kiv_bench
#   ./build.sh windows    cross-build for 64-bit Windows in build-win and run
#                         every test and the demo under wine
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
build_dir=${KIV_BUILD_DIR:-$here/build}
# X11 Extras tells the panel whether a compositor draws translucent windows;
# Qt's own Chinese texts are for the demo's standard dialogs.
packages=(cmake make g++ qtbase5-dev qtbase5-dev-tools qttools5-dev qttools5-dev-tools
          fonts-wqy-microhei libqt5x11extras5-dev qttranslations5-l10n)

install_missing() {
    local missing=() p
    for p in "${packages[@]}"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return
    local sudo=""
    [ "$(id -u)" -ne 0 ] && sudo=sudo
    echo "Installing: ${missing[*]}"
    $sudo apt-get update
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --no-install-recommends "${missing[@]}"
}

# build [extra cmake arguments...] [-- build tool targets...]
build() {
    local configure=() targets=()
    while [ $# -gt 0 ] && [ "$1" != "--" ]; do configure+=("$1"); shift; done
    [ $# -gt 0 ] && shift
    for t in "$@"; do targets+=(--target "$t"); done
    cmake -S "$here" -B "$build_dir" -DCMAKE_BUILD_TYPE="${KIV_BUILD_TYPE:-Debug}" ${configure[@]+"${configure[@]}"}
    cmake --build "$build_dir" -j"$(nproc)" ${targets[@]+"${targets[@]}"}
}

case "${1:-}" in
    demo)
        install_missing
        build -- kiv_settings_demo
        # The demo finds the tutorial animation relative to its current folder.
        cd "$build_dir/bin"
        exec ./kiv_settings_demo
        ;;
    test)
        install_missing
        build
        cd "$build_dir"
        QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j"$(nproc)"
        ;;
    package)
        # The library as a host team takes it. Uses the build folder of
        # "test" for the install and kiv_docs; the subproject builds go to
        # build-package/.
        packages+=(doxygen)
        install_missing
        build -- kiv_configuration kiv_host kiv_copy_file
        package_dir=${KIV_PACKAGE_BUILD_DIR:-$here/build-package}
        work=$(mktemp -d)
        trap 'rm -rf "$work"' EXIT

        # example <name> <build folder> <program> <cmake arguments...>: configure,
        # build, run it offscreen with --auto-apply on a temporary application
        # and user folder, and expect one sigConfChanged, then one SigZftxParams.
        example() {
            local name=$1 dir=$2 program=$3
            shift 3
            echo "== example host: $name"
            cmake -B "$dir" "$@"
            cmake --build "$dir" -j"$(nproc)"
            # A subproject never sets the host's build type.
            if grep -q '^CMAKE_BUILD_TYPE:STRING=.' "$dir/CMakeCache.txt"; then
                echo "$name: the build type was written into the host's cache" >&2
                return 1
            fi
            local run output signals status=0
            run=$(mktemp -d "$work/run-XXXXXX")
            mkdir -p "$run/app" "$run/user"
            output=$(cd "$run" && QT_QPA_PLATFORM=offscreen KIV_APP_DIR="$run/app" KIV_USER_APP_PATH="$run/user" \
                     "$dir/$program" --auto-apply) || status=$?
            echo "$output"
            if [ "$status" -ne 0 ]; then
                echo "$name: $program exited with $status" >&2
                return 1
            fi
            signals=$(echo "$output" | grep -E '^(sig|Sig)' | cut -d' ' -f1 | paste -sd' ' || true)
            if [ "$signals" != "sigConfChanged SigZftxParams" ]; then
                echo "$name: expected sigConfChanged then SigZftxParams, got: $signals" >&2
                return 1
            fi
        }

        # Installed, then moved: the package must hold no path of this
        # checkout or of its old place.
        cmake --install "$build_dir" --prefix "$work/staged"
        mv "$work/staged" "$work/prefix"
        if grep -rIl -e "$here" -e "$work/staged" "$work/prefix"; then
            echo "the installed package names the source, build or install folder" >&2
            exit 1
        fi
        # The example without the source tree: a copy of its folder and the prefix.
        cp -r "$here/examples/minimal_host" "$work/minimal_host"
        example "installed package" "$work/build-installed" minimal_host \
            -S "$work/minimal_host" -DCMAKE_PREFIX_PATH="$work/prefix"

        example "add_subdirectory, our stand-ins" "$package_dir/minimal-host" minimal_host \
            -S "$here/examples/minimal_host" -DKIV_SOURCE_DIR="$here"

        # Tests and stand-ins off: the host's own kiv_host is the one linked,
        # and neither Qt Test nor a kiv_host of ours is looked for.
        example "add_subdirectory, the host's kiv_host" "$package_dir/own-host" own_host \
            -S "$here/tests/own_host" -DKIV_SOURCE_DIR="$here"
        if grep -q '^Qt5Test_DIR:' "$package_dir/own-host/CMakeCache.txt"; then
            echo "the subproject looked for Qt Test with its tests off" >&2
            exit 1
        fi
        if ! readelf -d "$package_dir/own-host/kiv/bin/libkiv_configuration.so" | grep -q 'libown_kiv_host'; then
            echo "the panel did not link the host's own kiv_host" >&2
            exit 1
        fi

        echo "== kiv_docs"
        cmake --build "$build_dir" --target kiv_docs
        echo "package: install, three example host builds and kiv_docs passed"
        ;;
    sanitize)
        install_missing
        build_dir=${KIV_SANITIZE_BUILD_DIR:-$here/build-sanitize}
        # -O1 keeps the instrumented tests quick; UB aborts at the first finding.
        flags="-O1 -fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer"
        KIV_BUILD_TYPE=Debug build -DCMAKE_CXX_FLAGS="$flags" -DKIV_TEST_TIMEOUT=300
        cd "$build_dir"
        # Leaks are reported, apart from the offscreen platform's own (see the file).
        QT_QPA_PLATFORM=offscreen \
        ASAN_OPTIONS=detect_leaks=1 \
        LSAN_OPTIONS=suppressions="$here/tests/lsan.supp":print_suppressions=0 \
        UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
            ctest --output-on-failure -j"$(nproc)"
        ;;
    bench)
        install_missing
        build_dir=${KIV_BENCH_BUILD_DIR:-$here/build-bench}
        KIV_BUILD_TYPE=RelWithDebInfo build -- kiv_bench
        QT_QPA_PLATFORM=offscreen "$build_dir/bin/kiv_bench"
        ;;
    windows)
        # Debian's MinGW-w64 and wine; Qt for Windows is built once from
        # Debian's own Qt source into a cache outside the checkout.
        packages+=(g++-mingw-w64-x86-64-posix wine64 xvfb dpkg-dev perl fontconfig)
        install_missing
        qt_cache=${KIV_WIN_QT_CACHE:-/var/cache/kiv-win-qt}
        if [ ! -f "$qt_cache/complete" ]; then
            echo "Building Qt for Windows into $qt_cache (about 30 minutes, once)"
            "$here/windows/build-qt.sh" "$qt_cache"
        fi
        build_dir=${KIV_WIN_BUILD_DIR:-$here/build-win}
        KIV_BUILD_TYPE=${KIV_BUILD_TYPE:-Debug} build \
            -DCMAKE_TOOLCHAIN_FILE="$here/windows/mingw-w64-x86_64.cmake" \
            -DKIV_WIN_QT="$qt_cache/win" -DQt5_DIR="$qt_cache/win/lib/cmake/Qt5" \
            -DQt5LinguistTools_DIR=/usr/lib/x86_64-linux-gnu/cmake/Qt5LinguistTools \
            -DKIV_TEST_TIMEOUT=300
        exec "$here/windows/run-tests.sh" "$build_dir" "$qt_cache/win"
        ;;
    *)
        echo "usage: $0 demo|test|package|sanitize|bench|windows" >&2
        exit 2
        ;;
esac
