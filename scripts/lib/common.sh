# Shared by the project's scripts: where things are, and installing the
# Debian packages the build needs when they are missing.

VARNEL_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
VARNEL_JOBS=$(nproc 2>/dev/null || echo 2)

# Packages of the 64-bit build, and those the 32-bit build adds.
VARNEL_PACKAGES_64="cmake make g++ binutils libgtest-dev libgmock-dev libbenchmark-dev libpugixml-dev python3-pytest python3-pyvisa-py"
VARNEL_PACKAGES_32="g++-multilib libgtest-dev:i386 libgmock-dev:i386 libpugixml-dev:i386"

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
