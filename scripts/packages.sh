# Sourced by the run and test scripts: installs whichever of the named Debian packages are
# missing, with sudo when not run as root.
install_missing_packages() {
    local missing=() package
    for package in "$@"; do
        dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'ok installed' ||
            missing+=("$package")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    local sudo=
    [ "$(id -u)" -ne 0 ] && sudo=sudo
    echo "Installing ${missing[*]}" >&2
    $sudo apt-get update -qq &&
        DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends \
            "${missing[@]}" >/dev/null
}

BUILD_PACKAGES=(cmake make g++ libgtest-dev libbenchmark-dev)
BUILD_PACKAGES+=(libpng-dev)  # pictures of the boards without a window
# The window: GLUT and GLU to build it, Mesa's software renderer to draw it.
BUILD_PACKAGES+=(freeglut3-dev libglu1-mesa-dev libgl1-mesa-dri)
# scripts/plot's plots of a sweep's results.
PLOT_PACKAGES=(python3 python3-matplotlib)
# vantu-analyse: its sequences and arrays, and its plots.
ANALYSE_PACKAGES=(python3 python3-numpy python3-scipy python3-matplotlib)
# The sanitizers' runtime, and llvm-14 for the symbolizer it calls on every report (and on the
# leaks that lsan.supp names); clang only recommends it.
TEST_PACKAGES=("${BUILD_PACKAGES[@]}" "${PLOT_PACKAGES[@]}" "${ANALYSE_PACKAGES[@]}" clang libclang-rt-14-dev llvm-14)
TEST_PACKAGES+=(clang-format)
TEST_PACKAGES+=(groff-base)  # the installation test renders the man pages
# The window tests: an X server without a display, keys and clicks, window facts, screen
# captures.
TEST_PACKAGES+=(xvfb xdotool x11-utils imagemagick)
# The cluster tests: a single-node Slurm with its own munge, and GNU parallel.
TEST_PACKAGES+=(slurmctld slurmd slurm-client munge parallel)
# The web page: Debian's emscripten to compile the simulation to WebAssembly, npm for the
# charting library, Python's file server for --serve.
WEB_PACKAGES=(emscripten nodejs python3 cmake make)
# The browser tests: Debian's chromium, driven headless.
WEB_TEST_PACKAGES=("${WEB_PACKAGES[@]}" chromium)

# Node.js packages as package-lock.json pins them, installed again only when the lock changes.
# npm comes with some Node.js builds and is Debian's own package for Debian's.
install_node_modules() {
    command -v npm >/dev/null || install_missing_packages npm
    [ node_modules/.package-lock.json -nt package-lock.json ] ||
        npm ci --ignore-scripts --no-audit --no-fund --loglevel=error
}
