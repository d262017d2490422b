#!/usr/bin/env bash
# Builds a fuzz target with clang and libFuzzer and runs it:
#
#   tests/fuzz/run.sh TARGET SECONDS [libFuzzer options...]   fuzz for SECONDS, then replay the corpus
#   tests/fuzz/run.sh TARGET FILE|FOLDER...                    replay inputs (a finding, say)
#
# The build lives in build-fuzz beside the sources (QUORVANE_FUZZ_BUILD names another).
# Fuzzing starts from the seeds in tests/fuzz/corpus/TARGET, which it only reads; what it adds
# goes to <build>/fuzz-runs/TARGET/corpus, and each input that fails to
# <build>/fuzz-runs/TARGET/findings. Several runs may share the build folder.
set -euo pipefail

usage="usage: $0 TARGET SECONDS [libFuzzer options...] | $0 TARGET FILE..."
target=${1:?$usage}
what=${2:?$usage}
shift 1
here=$(cd "$(dirname "$0")" && pwd)
source_dir=$(cd "$here/../.." && pwd)
build=${QUORVANE_FUZZ_BUILD:-$source_dir/build-fuzz}

mkdir -p "$build"
(
    flock 9
    if [ ! -f "$build/CMakeCache.txt" ]; then
        cmake -S "$source_dir" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
            -DCMAKE_CXX_COMPILER=clang++ -DQUORVANE_BUILD_FUZZERS=ON \
            -DQUORVANE_BUILD_TESTS=OFF -DQUORVANE_BUILD_BENCH=OFF
    fi
    cmake --build "$build" --target "$target"
) 9>"$build/.fuzz-build.lock"

export QT_QPA_PLATFORM=offscreen
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-halt_on_error=1:print_stacktrace=1}
export LSAN_OPTIONS=suppressions=$source_dir/scripts/system-leaks.supp:print_suppressions=0${LSAN_OPTIONS:+:$LSAN_OPTIONS}
asan_options=detect_stack_use_after_return=1:handle_abort=1
# The limits of every input: memory (the readers must stay well within 2 GB) and time.
limits=(-rss_limit_mb=2048 -malloc_limit_mb=2048 -timeout=20)
fuzzer=$build/tests/fuzz/$target

# Replaying checks everything: whole allocation stacks (through Qt too), so that the leaks the
# system libraries keep can be told from ours by name, and a leak check after each input. Inputs
# arrive whole, however long. Options given in the environment come after and win.
replay() {
    ASAN_OPTIONS=$asan_options:fast_unwind_on_malloc=0${ASAN_OPTIONS:+:$ASAN_OPTIONS} \
        "$fuzzer" "${limits[@]}" -runs=0 "$@"
}

if ! [[ $what =~ ^[0-9]+$ ]]; then
    replay "$@"
    exit
fi
shift 1
run=$build/fuzz-runs/$target
mkdir -p "$run/corpus" "$run/findings"
# Fuzzing unwinds the fast way and leaves leaks to the replay that follows: whole stacks make
# the text targets several times slower.
fuzzing=(-detect_leaks=0)
# Pasted text turns costly only when long (a tag of many attributes, a long font name over many
# runs): those targets may grow inputs to 1 MiB at once, where libFuzzer would keep near 4 KB.
case $target in
    fuzz_html_text | fuzz_rtf_text) fuzzing+=(-max_len=1048576 -len_control=0) ;;
esac
ASAN_OPTIONS=$asan_options:detect_leaks=0${ASAN_OPTIONS:+:$ASAN_OPTIONS} \
    "$fuzzer" "${limits[@]}" "${fuzzing[@]}" -max_total_time="$what" -print_final_stats=1 \
    -artifact_prefix="$run/findings/" "$@" "$run/corpus" "$here/corpus/$target"
echo "Replaying the corpus with every check"
replay -artifact_prefix="$run/findings/" "$run/corpus" "$here/corpus/$target"
