# Shared by the scripts: where the trees are and how to make them ready.
# Source it; it sets KELVANE_ROOT, NATIVE_BUILD, WIN64_BUILD and WINEPREFIX.

KELVANE_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
NATIVE_BUILD="$KELVANE_ROOT/build/native"
WIN64_BUILD="$KELVANE_ROOT/build/win64"
export WINEPREFIX="$WIN64_BUILD/wineprefix"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="   # no Mono or Gecko install prompts
export LANG=C.UTF-8
JOBS=${JOBS:-$(nproc)}

# ccache with paths taken relative to the build folder, so several checkouts
# of the tree (worktrees) share one cache.
COMPILER_LAUNCHER=()
if command -v ccache >/dev/null; then
    export CCACHE_BASEDIR=${CCACHE_BASEDIR:-$(dirname "$KELVANE_ROOT")}
    export CCACHE_NOHASHDIR=1
    COMPILER_LAUNCHER=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi

build_native() {
    cmake -S "$KELVANE_ROOT" -B "$NATIVE_BUILD" -DCMAKE_BUILD_TYPE=Debug "${COMPILER_LAUNCHER[@]}" >/dev/null
    cmake --build "$NATIVE_BUILD" -j "$JOBS"
}

build_win64() {
    cmake -S "$KELVANE_ROOT" -B "$WIN64_BUILD" -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_TOOLCHAIN_FILE="$KELVANE_ROOT/cmake/mingw64.cmake" "${COMPILER_LAUNCHER[@]}" >/dev/null
    cmake --build "$WIN64_BUILD" -j "$JOBS"
}

# The private Wine prefix, made once.
ensure_wine_prefix() {
    if [ ! -f "$WINEPREFIX/.kelvane-ready" ]; then
        echo "setting up the Wine prefix in $WINEPREFIX"
        rm -rf "$WINEPREFIX"
        mkdir -p "$WINEPREFIX"
        wineboot -i >/dev/null 2>&1 || true
        wineserver -w
        touch "$WINEPREFIX/.kelvane-ready"
    fi
}

# A display for Wine's windows: $DISPLAY when there is one, else a private
# Xvfb that stop_private_display ends.
PRIVATE_XVFB_PID=""
ensure_display() {
    if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
        return
    fi
    start_private_display
}

start_private_display() {
    local n
    for n in $(seq 90 400); do
        # A lock whose server is gone is stale: take the number over.
        if [ -e "/tmp/.X$n-lock" ] && ! kill -0 "$(tr -d ' ' <"/tmp/.X$n-lock" 2>/dev/null)" 2>/dev/null; then
            rm -f "/tmp/.X$n-lock" "/tmp/.X11-unix/X$n"
        fi
        if [ ! -e "/tmp/.X11-unix/X$n" ] && [ ! -e "/tmp/.X$n-lock" ]; then
            Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
            PRIVATE_XVFB_PID=$!
            export DISPLAY=":$n"
            for _ in $(seq 1 50); do
                xdpyinfo >/dev/null 2>&1 && return
                sleep 0.1
            done
            echo "Xvfb did not start on :$n" >&2
            return 1
        fi
    done
    echo "no free X display number" >&2
    return 1
}

stop_private_display() {
    if [ -n "$PRIVATE_XVFB_PID" ]; then
        kill "$PRIVATE_XVFB_PID" 2>/dev/null || true
        wait "$PRIVATE_XVFB_PID" 2>/dev/null || true
        PRIVATE_XVFB_PID=""
    fi
}
