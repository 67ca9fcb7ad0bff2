# Shared by the project's scripts: where things are, and installing the
# Debian packages the build needs when they are missing.

VARNEL_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
VARNEL_JOBS=$(nproc 2>/dev/null || echo 2)

# Packages of the 64-bit build, and those the 32-bit build adds.
VARNEL_PACKAGES_64="cmake make g++ binutils libgtest-dev libgmock-dev libbenchmark-dev libpugixml-dev python3-pytest python3-pyvisa-py python3-matplotlib"
VARNEL_PACKAGES_32="g++-multilib libgtest-dev:i386 libgmock-dev:i386 libpugixml-dev:i386"
# Packages that building and checking the install trees and the Debian
# packages add: dpkg-shlibdeps (Depends), pkg-config, and the tools that
# build the Python package's wheel offline.
VARNEL_PACKAGES_INSTALL="dpkg-dev pkgconf python3-setuptools python3-pip python3-wheel"

# The configure options of each build tree that scripts share: scripts/test
# builds and tests them, scripts/package and scripts/check-install reuse them.
# Sets the array VARNEL_TREE_ARGS.
varnel_tree_args() {
    case "$1" in
        64) VARNEL_TREE_ARGS=(-DCMAKE_BUILD_TYPE=RelWithDebInfo) ;;
        32) VARNEL_TREE_ARGS=(-DCMAKE_BUILD_TYPE=RelWithDebInfo -DVARNEL_BUILD_BENCH=OFF
                -DCMAKE_TOOLCHAIN_FILE="$VARNEL_ROOT/cmake/toolchain-i686.cmake")
            varnel_i386_runner
            if [ -n "$VARNEL_I386_EMULATOR" ]; then
                VARNEL_TREE_ARGS+=(-DCMAKE_CROSSCOMPILING_EMULATOR="$VARNEL_I386_EMULATOR")
            fi ;;
        asan) VARNEL_TREE_ARGS=(-DCMAKE_BUILD_TYPE=Debug -DVARNEL_SANITIZE=ON -DVARNEL_BUILD_BENCH=OFF) ;;
        *) echo "unknown build tree: $1" >&2; return 2 ;;
    esac
}

# Configures and builds the tree $1 under $2 (the build root).
varnel_build_tree() {
    varnel_tree_args "$1"
    cmake -S "$VARNEL_ROOT" -B "$2/$1" "${VARNEL_TREE_ARGS[@]}"
    cmake --build "$2/$1" -j "$VARNEL_JOBS"
}

# Some machines (virtual machines without 32-bit compatibility mode) cannot
# run i386 programs; there they run under qemu-i386, which this installs.
# Sets VARNEL_I386_EMULATOR: empty when i386 programs run natively.
varnel_i386_runner() {
    [ -n "${VARNEL_I386_CHECKED:-}" ] && return 0
    VARNEL_I386_CHECKED=1
    VARNEL_I386_EMULATOR=""
    local probe
    probe=$(mktemp -d)
    echo 'int main(void) { return 0; }' >"$probe/probe.c"
    if gcc -m32 "$probe/probe.c" -o "$probe/probe" 2>/dev/null && ! "$probe/probe" 2>/dev/null; then
        varnel_ensure_packages qemu-user
        VARNEL_I386_EMULATOR=$(command -v qemu-i386)
        echo "this machine cannot run i386 programs: they run under $VARNEL_I386_EMULATOR"
    fi
    rm -rf "$probe"
}

varnel_missing_packages() {
    local missing=() package
    for package in "$@"; do
        if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
            missing+=("$package")
        fi
    done
    echo "${missing[*]}"
}

# Installs the named packages when some are missing and we run as root;
# otherwise names what is missing and fails.
varnel_ensure_packages() {
    local missing
    missing=$(varnel_missing_packages "$@")
    [ -z "$missing" ] && return 0
    if [ "$(id -u)" != 0 ]; then
        echo "missing Debian packages: $missing (run this script as root to install them)" >&2
        return 1
    fi
    case " $missing " in
        *:i386*) dpkg --print-foreign-architectures | grep -qx i386 || dpkg --add-architecture i386 ;;
    esac
    echo "installing: $missing"
    apt-get update -q
    # shellcheck disable=SC2086
    DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends $missing
}
