#!/usr/bin/env bash
# Kivoro's test command: installs what is missing, checks the formatting, then
# builds and tests the 5-5-5 build, the 5-6-5 build and a sanitizer build, and
# runs the fuzz targets for a bounded time. Exits non-zero on any failure. Builds are incremental
# under build/, so a second run with nothing changed is quick.
set -euo pipefail
cd "$(dirname "$0")"
root=$(pwd)
jobs=$(nproc 2>/dev/null || echo 2)
fuzz_seconds=${KIVORO_FUZZ_SECONDS:-20}

scripts/install_deps.sh

step() { printf '\n==== %s ====\n' "$*"; }

# The tree is kept formatted with the committed .clang-format.
step "format check"
git ls-files -z '*.cpp' '*.h' '*.c' | xargs -0 clang-format --dry-run --Werror

build_and_test() {
    local dir=$1; shift
    step "configure $dir"
    cmake -S "$root" -B "$root/build/$dir" "$@" >/dev/null
    step "build $dir"
    cmake --build "$root/build/$dir" -j "$jobs"
    step "test $dir"
    (cd "$root/build/$dir" && ctest --output-on-failure -j "$jobs")
}

build_and_test rgb555 -DCMAKE_BUILD_TYPE=RelWithDebInfo
# The benchmarks are built (and so kept compiling) in the first build only.
build_and_test rgb565 -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKIVORO_PIXEL_565=ON -DKIVORO_BENCH=OFF
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
    build_and_test sanitize -DCMAKE_BUILD_TYPE=Debug -DKIVORO_SANITIZE=ON -DKIVORO_BENCH=OFF

step "configure fuzz"
CC=clang CXX=clang++ cmake -S "$root" -B "$root/build/fuzz" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DKIVORO_FUZZ=ON >/dev/null
step "build fuzz"
cmake --build "$root/build/fuzz" -j "$jobs"
for fuzzer in "$root"/build/fuzz/bin/*_fuzz; do
    [ -x "$fuzzer" ] || continue
    name=$(basename "$fuzzer")
    corpus="$root/build/fuzz/corpus/$name"
    seeds="$root/tests/fuzz/seeds/${name%_fuzz}"
    mkdir -p "$corpus"
    step "fuzz $name for ${fuzz_seconds}s"
    args=("$corpus")
    [ -d "$seeds" ] && args+=("$seeds")
    "$fuzzer" -max_total_time="$fuzz_seconds" -print_final_stats=1 -rss_limit_mb=2048 \
        -artifact_prefix="$root/build/fuzz/$name-" "${args[@]}" 2>"$root/build/fuzz/$name.log" \
        || { tail -n 60 "$root/build/fuzz/$name.log"; echo "fuzz target $name found a fault"; exit 1; }
    grep -E 'stat::number_of_executed_units' "$root/build/fuzz/$name.log" || true
done

step "all tests passed"
