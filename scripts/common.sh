# Shared by the run and test scripts: installs what is missing, builds both sides, and prepares
# a Wine prefix of the project's own inside the build tree. Source it; do not run it.

TARNWELL_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
export BUILD_DIR=${TARNWELL_BUILD_DIR:-$TARNWELL_ROOT/build}
NATIVE_BUILD=$BUILD_DIR/native
export WIN_BUILD=$BUILD_DIR/win
export WINEPREFIX=$BUILD_DIR/wineprefix
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
JOBS=$(nproc 2>/dev/null || echo 2)

log() { printf '== %s\n' "$*" >&2; }

# Debian packages the build and the tests need, with a command each provides; a caller adds
# its own as more "package:command" arguments.
ensure_packages() {
    local wanted=("$@"
        "cmake:cmake" "g++:g++" "googletest:/usr/src/googletest/CMakeLists.txt"
        "g++-mingw-w64-x86-64:x86_64-w64-mingw32-g++-posix"
        "binutils-mingw-w64-x86-64:x86_64-w64-mingw32-windres"
        "wine:wine" "wine64:/usr/lib/wine/wine64" "xvfb:Xvfb" "xauth:xauth"
        "iproute2:ip" "nftables:nft" "python3:python3" "zlib1g-dev:/usr/include/zlib.h"
        "libz-mingw-w64-dev:/usr/x86_64-w64-mingw32/lib/libz.a"
        "imagemagick:/usr/bin/convert" "x11-utils:xwininfo" "x11-apps:xwd" "procps:sysctl"
        "libgnutls30:/usr/lib/x86_64-linux-gnu/libgnutls.so.30" "openssl:openssl"
    )
    local missing=() entry pkg probe
    for entry in "${wanted[@]}"; do
        pkg=${entry%%:*}
        probe=${entry#*:}
        if [[ $probe == /* ]]; then
            [[ -e $probe ]] || missing+=("$pkg")
        else
            command -v "$probe" >/dev/null 2>&1 || missing+=("$pkg")
        fi
    done
    if ((${#missing[@]})); then
        log "installing ${missing[*]}"
        local sudo=""
        [[ $(id -u) -eq 0 ]] || sudo=sudo
        $sudo apt-get update -qq
        DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}" >/dev/null
    fi
}

build_native() {
    log "native build (sanitizers on)"
    cmake -S "$TARNWELL_ROOT" -B "$NATIVE_BUILD" -DCMAKE_BUILD_TYPE=Debug >/dev/null
    cmake --build "$NATIVE_BUILD" -j"$JOBS"
}

build_windows() { # [targets...]: everything when none are named
    log "Windows build (MinGW-w64)"
    cmake -S "$TARNWELL_ROOT" -B "$WIN_BUILD" -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_TOOLCHAIN_FILE="$TARNWELL_ROOT/cmake/mingw-w64-x86_64.cmake" >/dev/null
    local targets=()
    (($#)) && targets=(--target "$@")
    cmake --build "$WIN_BUILD" -j"$JOBS" "${targets[@]}"
}

# The Windows tree again with clang targeting MinGW-w64, into its own build folder.
build_windows_clang() {
    cmake -S "$TARNWELL_ROOT" -B "$BUILD_DIR/win-clang" -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_TOOLCHAIN_FILE="$TARNWELL_ROOT/cmake/clang-mingw-w64-x86_64.cmake" >/dev/null &&
        cmake --build "$BUILD_DIR/win-clang" -j"$JOBS"
}

# An X display: the caller's, or a private Xvfb that ends with the script.
ensure_display() {
    if [[ -n ${DISPLAY:-} ]] && xdpyinfo >/dev/null 2>&1; then
        return
    fi
    local n
    for n in $(seq 90 140); do
        [[ -e /tmp/.X11-unix/X$n || -e /tmp/.X$n-lock ]] && continue
        Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
        XVFB_PID=$!
        export DISPLAY=":$n"
        local i
        for i in $(seq 50); do
            xdpyinfo >/dev/null 2>&1 && return
            sleep 0.1
        done
    done
    log "no X display could be started"
    return 1
}

# The prefix, made once: every program runs inside a virtual desktop, whose taskbar has the
# notification area that a bare X server lacks.
ensure_wineprefix() {
    if [[ ! -f $WINEPREFIX/.tarnwell-ready ]]; then
        log "making the Wine prefix (once)"
        mkdir -p "$WINEPREFIX"
        wine wineboot -i >/dev/null 2>&1
        wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null 2>&1
        wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1024x768 /f >/dev/null 2>&1
        wineserver -w
        touch "$WINEPREFIX/.tarnwell-ready"
    fi
}

stop_display() {
    # Wine's desktop and services go first, so that none is left talking to a closed display.
    wineserver -k 2>/dev/null || true
    if [[ -n ${XVFB_PID:-} ]]; then
        kill "$XVFB_PID" 2>/dev/null || true
        wait "$XVFB_PID" 2>/dev/null || true
    fi
}
