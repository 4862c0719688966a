#!/usr/bin/env bash
# Sets up a Debian 12 or 13 machine, builds the calculator and starts it or runs every check.
#   ./dev.sh run     build the program alone and start it
#   ./dev.sh test    build and run every test: static analysis, fuzzing, the suite under
#                    AddressSanitizer and UndefinedBehaviorSanitizer, then the release suite
#   ./dev.sh bench   build and run the benchmarks: the runby evaluation, the startup and, under
#                    Wine, the response to Enter and Alt+M
#   ./dev.sh windows build the release runby.exe for Windows and print where it is
#   ./dev.sh package build the .deb, the Windows installer, the portable zip and the site's zip
#                    into build/packages
#   ./dev.sh web     build the site and serve it at http://127.0.0.1:8080
#   ./dev.sh stress  run the tests that drive the real programs 20 times each on a busy machine
#   ./dev.sh debian13 [COMMAND]  run the test command (or stress) on the last commit in a clean
#                    Debian 13 chroot
set -euo pipefail
cd "$(dirname "$0")"

readonly program_packages=(cmake make g++ python3 gettext po4a qt6-base-dev qt6-translations-l10n
    fonts-liberation2)
readonly build_packages=("${program_packages[@]}" libgtest-dev libgmock-dev libbenchmark-dev)
readonly check_packages=(clang libclang-rt-dev clang-tidy cppcheck gettext xvfb xdotool strace
    python3 openbox xclip x11-utils dbus-daemon nodejs at-spi2-core python3-pyatspi python3-xlib
    orca speech-dispatcher speech-dispatcher-espeak-ng libglib2.0-bin gsettings-desktop-schemas)
readonly bench_packages=(xvfb python3 python3-xlib binutils)
readonly web_packages=(cmake make python3 gettext emscripten nodejs libfast-float-dev libfmt-dev
    chromium chromium-driver python3-selenium)
# The accessibility checker and Lighthouse, which the browser test runs on the page, from the npm
# registry.
readonly axe_core=axe-core@4.14
readonly lighthouse=lighthouse@12.2.3
readonly package_packages=(dpkg-dev lintian appstream desktop-file-utils nsis xdotool brotli wixl
    msitools osslsigncode openssl)
readonly windows_packages=(cmake make python3 gettext g++-mingw-w64-x86-64-posix googletest wine
    wine64 fonts-wine xvfb openbox)
# Seconds each fuzz target runs in the test command.
readonly fuzz_seconds=${RUNBY_FUZZ_SECONDS:-30}

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
    cmake --preset "$1"
    cmake --build --preset "$1" --parallel "$(nproc)"
}

static_analysis() {
    echo "== clang-tidy"
    run-clang-tidy -quiet -p build/release \
        "$PWD/(rules|catalogue|window|app|tests|benchmarks)/.*\.cpp$" \
        >build/clang-tidy.log 2>&1 || { grep -E 'warning:|error:' build/clang-tidy.log; return 1; }
    # The page's adapter is plain C++ over the page's functions, which the native build leaves out.
    clang-tidy -quiet --warnings-as-errors='*' window/web/*.cpp -- -std=c++20 -Irules -Icatalogue \
        -Ibuild/release/catalogue -Iwindow -Iwindow/web >build/clang-tidy-web.log 2>&1 \
        || { grep -E 'warning:|error:' build/clang-tidy-web.log; return 1; }
    echo "== cppcheck"
    # Cppcheck 2.11 and later limit the branches they follow unless asked for the whole analysis,
    # which earlier versions always made.
    local depth=()
    cppcheck --help | grep -q -- --check-level && depth=(--check-level=exhaustive)
    cppcheck "${depth[@]}" --enable=warning,performance,portability --inline-suppr \
        --error-exitcode=1 --quiet \
        --std=c++20 --library=qt --library=googletest -I rules -I catalogue \
        -I build/release/catalogue -I window rules catalogue window app tests fuzz benchmarks
    echo "== node --check"
    node --check window/web/web_page.js
}

fuzz() {
    build fuzz
    for target in speed_text format_real; do
        echo "== fuzz_$target for ${fuzz_seconds} s"
        mkdir -p "build/fuzz/corpus/$target"
        build/fuzz/fuzz/fuzz_$target -max_total_time="$fuzz_seconds" -max_len=64 \
            -artifact_prefix=build/fuzz/ "build/fuzz/corpus/$target" "fuzz/corpus/$target" \
            >"build/fuzz/$target.log" 2>&1 || { tail -n 40 "build/fuzz/$target.log"; return 1; }
        grep -E '^Done [0-9]+ runs' "build/fuzz/$target.log"
    done
}

# Starts Xvfb on a free display, and openbox on it so that new windows take the keyboard focus.
start_private_desktop() {
    local display_file
    display_file=$(mktemp)
    Xvfb -displayfd 3 -nolisten tcp -screen 0 1024x768x24 3>"$display_file" 2>/dev/null &
    desktop_pids=($!)
    for _ in $(seq 200); do [ -s "$display_file" ] && break; sleep 0.05; done
    export DISPLAY=":$(tr -d '\n' <"$display_file")"
    rm -f "$display_file"
    openbox --sm-disable >/dev/null 2>&1 &
    desktop_pids+=($!)
}

stop_private_desktop() {
    kill "${desktop_pids[@]}" 2>/dev/null || true
}

# A private Wine prefix inside the build tree, with Wine's own fonts, and a persistent Wine
# server: without it every test pays Wine's start-up, and its background processes hold ctest's
# output open.
start_wine() {
    export WINEPREFIX="$PWD/build/windows/wineprefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
    if [ ! -d "$WINEPREFIX/drive_c/windows/Fonts" ]; then
        wineboot --init >/dev/null 2>&1
        # The server that made the prefix must end before the persistent one can start.
        wineserver -w
    fi
    ln -sf /usr/share/wine/fonts/* "$WINEPREFIX/drive_c/windows/Fonts/"
    # A server left running in the prefix by an interrupted run would refuse a new one.
    wineserver -k 2>/dev/null || true
    wineserver -p
    # Wine makes a window active when the X focus reaches it, not already when the window manager
    # offers it the focus: a driver that waits for the window to be active waits for the X focus,
    # with which Wine brings Ctrl, Alt and Shift into line with the X keyboard. A modifier sent as
    # input before that would be released under the keys that follow it.
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v UseTakeFocus /t REG_SZ /d N /f >/dev/null
    wine cmd /c exit
}

# Generates the locale named $1 (fr_CA.UTF-8) where the system lacks it: Wine takes the display
# language of the French key sessions from it, and knows no locale that glibc lacks; Orca speaks
# French in it.
generate_locale() {
    locale -a | grep -qix "${1/UTF-8/utf8}" && return
    install_missing locales
    grep -q "^$1 UTF-8" /etc/locale.gen || echo "$1 UTF-8" | as_root tee -a /etc/locale.gen >/dev/null
    as_root locale-gen
}

windows_tests() {
    build windows
    start_private_desktop
    start_wine
    local status=0
    ctest --preset windows || status=$?
    wineserver -k || true
    stop_private_desktop
    return "$status"
}

# The site as WebAssembly: the rules and calculator tests under node, the page in Chromium, what
# Orca says of it, and the rules tests natively with the libraries that convert doubles for the
# web.
web_tests() {
    build double-text-libraries
    ctest --preset double-text-libraries
    build web
    ctest --preset web
    # Debian's nodejs comes without npm; other builds of nodejs bring their own and refuse Debian's.
    command -v npm >/dev/null || install_missing npm
    npm install --prefix build/npm --no-audit --no-fund --silent "$axe_core" "$lighthouse"
    /usr/bin/python3 tests/browser_test.py build/web/site build/npm/node_modules/axe-core/axe.min.js \
        build/npm/node_modules/.bin/lighthouse
    echo "== Orca on the page"
    /usr/bin/python3 tests/orca_session.py --page build/web/site
}

# Runs the driver named $1 (the command after it) once; on failure shows its log's end, keeps the
# log in build/stress-failures and counts it.
stress_once() {
    local name=$1
    shift
    rm -f "build/stress-$name-program.log"
    RUNBY_ORCA_LOG="$PWD/build/stress-$name-orca.log" \
        RUNBY_PROGRAM_LOG="$PWD/build/stress-$name-program.log" \
        "$@" >"build/stress-$name.log" 2>&1 && return
    failures=$((failures + 1))
    mkdir -p build/stress-failures
    cp "build/stress-$name.log" "build/stress-failures/$name-run$run.log"
    # What Orca said, for the Orca sessions; what the program said, for the desktop session.
    local kept
    for kept in orca program; do
        if [ -f "build/stress-$name-$kept.log" ]; then
            cp "build/stress-$name-$kept.log" "build/stress-failures/$name-run$run-$kept.log"
        fi
    done
    echo "-- $name failed (build/stress-failures/$name-run$run.log):"
    tail -n 30 "build/stress-$name.log"
}

# Runs the tests that drive the real programs, each the given number of times, while two
# CPU-bound processes keep the machine busy. Counts the runs that failed.
stress() {
    local runs=$1 failures=0 load=() run
    build release
    build windows
    build web
    for _ in 1 2; do
        yes >/dev/null &
        load+=($!)
    done
    rm -rf build/stress-failures
    start_private_desktop
    start_wine
    for run in $(seq "$runs"); do
        echo "== run $run of $runs"
        stress_once win32 ctest --preset windows -R '^win32_window_test$'
        # Qt's clipboard requests and the keys held back, for a paste that gave nothing.
        QT_LOGGING_RULES="qt.qpa.clipboard.debug=true;runby.keys.debug=true" \
            stress_once desktop /usr/bin/python3 tests/desktop_session.py build/release/app/runby
        stress_once browser /usr/bin/python3 tests/browser_test.py build/web/site
        stress_once orca-window /usr/bin/python3 tests/orca_session.py build/release/app/runby
        stress_once orca-page /usr/bin/python3 tests/orca_session.py --page build/web/site
    done
    wineserver -k || true
    stop_private_desktop
    kill "${load[@]}"
    echo "stress: 5 tests run $runs times each on a busy machine, $failures failed"
    [ "$failures" -eq 0 ]
}

# The Debian mirror that this machine's apt uses.
debian_mirror() {
    local mirror
    mirror=$(cat /etc/apt/sources.list.d/*.sources 2>/dev/null \
        | sed -n 's|^URIs: *\(.*/debian\)/*$|\1|p' | head -n 1)
    [ -n "$mirror" ] || mirror=$(sed -n 's|^deb  *\(http[^ ]*/debian\)/* .*|\1|p' \
        /etc/apt/sources.list 2>/dev/null | head -n 1)
    echo "${mirror:-http://deb.debian.org/debian}"
}

# Ends every process whose root is the folder $1, then unmounts what is mounted below it.
leave_chroot() {
    local root=$1 link pids=()
    for link in /proc/[0-9]*/root; do
        [ "$(readlink "$link" 2>/dev/null)" = "$root" ] && pids+=("$(basename "$(dirname "$link")")")
    done
    if [ ${#pids[@]} -gt 0 ]; then
        as_root kill -TERM "${pids[@]}" 2>/dev/null || true
        for _ in $(seq 100); do
            as_root kill -0 "${pids[@]}" 2>/dev/null || break
            sleep 0.1
        done
        as_root kill -KILL "${pids[@]}" 2>/dev/null || true
    fi
    findmnt -rn -o TARGET | { grep "^$root/" || true; } | sort -r | while read -r mount; do
        as_root umount "$mount"
    done
}

# The test command on the last commit, in a Debian 13 system made afresh with debootstrap from
# this machine's mirror into build/debian13, with its own /proc, /sys, /dev and shared memory.
test_in_debian13() {
    install_missing debootstrap
    local root=$PWD/build/debian13
    leave_chroot "$root"
    as_root rm -rf "$root"
    as_root debootstrap --variant=minbase --include=git,ca-certificates trixie "$root" \
        "$(debian_mirror)" >build/debootstrap.log
    git clone --quiet --no-local "$PWD" "$root/root/runby"
    # The network as this machine has it: its name servers and the certificates it trusts beside
    # Debian's, such as a proxy's.
    as_root cp /etc/resolv.conf "$root/etc/resolv.conf"
    as_root cp -r /usr/local/share/ca-certificates/. "$root/usr/local/share/ca-certificates/"
    trap 'leave_chroot "'"$root"'"' EXIT
    as_root mount -t proc proc "$root/proc"
    as_root mount -t sysfs sysfs "$root/sys"
    as_root mount --bind /dev "$root/dev"
    as_root mount --bind /dev/pts "$root/dev/pts"
    as_root mount -t tmpfs tmpfs "$root/dev/shm"
    as_root chroot "$root" update-ca-certificates >/dev/null
    as_root chroot "$root" /usr/bin/env -i HOME=/root TERM="${TERM:-dumb}" \
        NODE_EXTRA_CA_CERTS=/etc/ssl/certs/ca-certificates.crt \
        PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin \
        RUNBY_STRESS_RUNS="${RUNBY_STRESS_RUNS:-20}" \
        bash -c 'cd /root/runby && git log -1 --format="== Debian $(cat /etc/debian_version), commit %h" && ./dev.sh "$0"' "$1"
}

# The three packages, from Release builds, into build/packages. Their time stamps are the last
# commit's, so that the same commit gives the same files.
# The Windows packages numbered $1 in the folder $2: the installer, the MSI and the portable zip,
# made from the Windows build's files and signed where packaging/sign.sh is given a certificate.
windows_packages() {
    local version=$1 folder=$PWD/$2 stage=$PWD/build/windows-package/stage
    rm -rf "$stage" "$stage-msi"
    cmake --install build/windows-package --prefix "$stage" --strip >/dev/null
    packaging/sign.sh "$stage/runby.exe"
    makensis -V2 -DVERSION="$version" -DSOURCE_DIR="$stage" \
        -DICON="$PWD/window/win32/icons/runby.ico" -DOUTPUT="$folder/runby-$version-win64-setup.exe" \
        -DSIGN="$PWD/packaging/sign.sh" packaging/runby.nsi
    # wixl takes the files from the folder of its source, and says of some parts of the source
    # that it does not implement them, though it builds them.
    cp -r "$stage" "$stage-msi"
    cp packaging/runby.wxs window/win32/icons/runby.ico "$stage-msi/"
    (cd "$stage-msi" && wixl -a x64 -D "Version=$version" -D SourceDir=. -D Icon=runby.ico \
        -o "$folder/runby-$version-win64.msi" runby.wxs 2> >(grep -v unimplemented >&2))
    packaging/sign.sh "$folder/runby-$version-win64.msi"
    /usr/bin/python3 packaging/zip_folder.py --folder "runby-$version-win64" "$stage" \
        "$folder/runby-$version-win64.zip"
}

# The packages, signed with a certificate made for the test, checked as their users meet them,
# with the Windows packages of a build numbered lower, which the current ones must replace.
package_checks() {
    rm -rf build/package-checks
    mkdir -p build/package-checks/older
    openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj "/CN=Runby test signing" \
        -keyout build/package-checks/key.pem -out build/package-checks/cert.pem 2>/dev/null
    RUNBY_SIGN_CERT=$PWD/build/package-checks/cert.pem \
        RUNBY_SIGN_KEY=$PWD/build/package-checks/key.pem package
    windows_packages 0.0.1 build/package-checks/older
    /usr/bin/python3 tests/package_checks.py build/packages build/package-checks/older \
        build/package-checks/cert.pem
}

package() {
    SOURCE_DATE_EPOCH=${SOURCE_DATE_EPOCH:-$(git log -1 --format=%ct 2>/dev/null || date +%s)}
    export SOURCE_DATE_EPOCH
    rm -rf build/packages build/package/packages
    build package
    (cd build/package && cpack)
    mkdir -p build/packages
    cp build/package/packages/*.deb build/packages/
    build windows-package
    local version
    version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' build/windows-package/CMakeCache.txt)
    windows_packages "$version" build/packages
    build web
    /usr/bin/python3 tests/browser_test.py --calculates build/web/site
    /usr/bin/python3 packaging/zip_folder.py --precompressed build/web/site \
        "build/packages/runby-$version-web.zip"
}

case "${1:-}" in
run)
    install_missing "${program_packages[@]}"
    build program
    exec build/program/app/runby
    ;;
test)
    install_missing "${build_packages[@]}" "${check_packages[@]}" "${windows_packages[@]}" \
        "${package_packages[@]}" "${web_packages[@]}"
    generate_locale fr_CA.UTF-8
    build release
    static_analysis
    fuzz
    build asan
    ctest --preset asan
    ctest --preset release
    windows_tests
    web_tests
    echo "== packages"
    package_checks
    ;;
package)
    install_missing "${build_packages[@]}" "${windows_packages[@]}" "${package_packages[@]}" \
        "${web_packages[@]}"
    package
    ls -l build/packages
    ;;
web)
    install_missing "${web_packages[@]}"
    build web
    /usr/bin/python3 tests/browser_test.py --calculates build/web/site
    echo "Serving build/web/site at http://127.0.0.1:8080 (Ctrl+C ends)"
    exec /usr/bin/python3 -m http.server 8080 --bind 127.0.0.1 --directory build/web/site
    ;;
windows)
    install_missing "${windows_packages[@]}"
    build windows
    echo "runby.exe: $PWD/build/windows/app/runby.exe"
    ;;
bench)
    install_missing "${build_packages[@]}" "${bench_packages[@]}" "${windows_packages[@]}"
    build release
    build/release/benchmarks/runby_benchmark --benchmark_repetitions=5 \
        --benchmark_report_aggregates_only=true
    /usr/bin/python3 benchmarks/startup.py build/release/app/runby \
        build/release/benchmarks/bare_window 10
    build windows
    start_wine
    wineserver -k
    echo "runby.exe under Wine, $(stat -c %s build/windows/app/runby.exe) bytes stripped:"
    /usr/bin/python3 benchmarks/startup.py --wine build/windows/app/runby.exe \
        build/windows/benchmarks/bare_window_win32.exe 10
    /usr/bin/python3 benchmarks/response.py build/windows/app/runby.exe \
        build/windows/benchmarks/bare_window_win32.exe 20
    install_missing "${web_packages[@]}"
    build web
    /usr/bin/python3 benchmarks/web_startup.py build/web/site 7
    ;;
stress)
    install_missing "${build_packages[@]}" "${check_packages[@]}" "${windows_packages[@]}" \
        "${web_packages[@]}"
    generate_locale fr_CA.UTF-8
    stress "${RUNBY_STRESS_RUNS:-20}"
    ;;
debian13)
    time test_in_debian13 "${2:-test}"
    ;;
*)
    echo "usage: $0 run|test|bench|windows|package|web|stress|debian13" >&2
    exit 2
    ;;
esac
