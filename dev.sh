#!/usr/bin/env bash
# Sets up a Debian 12 machine, builds the calculator and starts it or runs every test.
#   ./dev.sh run     build and start the program
#   ./dev.sh test    build and run every test
#   ./dev.sh bench   build and run the benchmarks
set -euo pipefail
cd "$(dirname "$0")"

readonly build_packages=(cmake make g++ qt6-base-dev fonts-liberation2)
readonly test_packages=(libgtest-dev libgmock-dev libbenchmark-dev)

as_root() {
    if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

# Installs whichever of the given Debian packages are missing.
install_missing() {
    local missing=()
    for package in "$@"; do
        dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'ok installed' \
            || missing+=("$package")
    done
    if [ ${#missing[@]} -gt 0 ]; then
        echo "Installing ${missing[*]}"
        as_root apt-get update -qq
        as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends \
            "${missing[@]}"
    fi
}

build() {
    cmake --preset release
    cmake --build --preset release --parallel "$(nproc)"
}

case "${1:-}" in
run)
    install_missing "${build_packages[@]}" "${test_packages[@]}"
    build
    exec build/release/app/runby
    ;;
test)
    install_missing "${build_packages[@]}" "${test_packages[@]}"
    build
    ctest --preset release
    ;;
bench)
    install_missing "${build_packages[@]}" "${test_packages[@]}"
    build
    build/release/benchmarks/runby_benchmark --benchmark_repetitions=5 \
        --benchmark_report_aggregates_only=true
    ;;
*)
    echo "usage: $0 run|test|bench" >&2
    exit 2
    ;;
esac
