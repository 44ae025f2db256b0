#!/usr/bin/env bash
# Builds the fuzz targets of the game's file readers (clang, libFuzzer, AddressSanitizer and
# UndefinedBehaviorSanitizer) in build/fuzz and runs each for the given number of seconds
# (default 60), one after the other, printing each target's execution count.
#   tools/fuzz.sh [seconds] [target...]
# FUZZ_RUNS=n stops each target after n executions, when that comes before the time is up.
# Inputs are at most FUZZ_MAX_LEN bytes (default 256): every reader's structure fits in that,
# and short inputs keep the executions many.
# Seeds come from the game's own files in data/ and fuzz/seeds/; the corpus grows in
# build/fuzz/corpus/<target>. A crash stops the run with the fuzzer's report; its input is kept
# in build/fuzz/crashes/<target>.
set -euo pipefail

seconds=${1:-60}
shift || true
root=$(cd "$(dirname "$0")/.." && pwd)
build=$root/build/fuzz
jobs=${FUZZ_BUILD_JOBS:-3}

all_targets=(fuzz_event_names fuzz_params fuzz_config_ini fuzz_material_list fuzz_mesh_list
             fuzz_model_list fuzz_scene_file fuzz_room_templates fuzz_sound_names
             fuzz_settings_ini fuzz_light_settings fuzz_player_settings)
if [ $# -gt 0 ]; then targets=("$@"); else targets=("${all_targets[@]}"); fi

cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug \
      -DCMAKE_C_COMPILER=clang-14 -DCMAKE_CXX_COMPILER=clang++-14 \
      -DCMAKE_C_FLAGS_DEBUG="-O1 -g" -DCMAKE_CXX_FLAGS_DEBUG="-O1 -g" \
      -DZT_FUZZ=ON -DZT_SANITIZE=OFF -DZT_BUILD_TESTS=OFF >/dev/null
cmake --build "$build" -j "$jobs" --target "${targets[@]}"

# The seed corpus of a target: a few of the game's own files of its kind.
seed() {
    local target=$1 dir=$2
    local data=$root/data seeds=$root/fuzz/seeds
    case $target in
    fuzz_event_names) cp "$data/EventNames.txt" "$dir/" ;;
    fuzz_config_ini) cp "$data/config.ini" "$dir/" ;;
    fuzz_material_list) cp "$data/material.init" "$dir/" ;;
    fuzz_mesh_list) cp "$data/mesh.init" "$dir/" ;;
    fuzz_model_list) cp "$data/model.init" "$dir/" ;;
    fuzz_room_templates) cp "$data"/levels/*.dat "$dir/" ;;
    fuzz_sound_names) cp "$seeds"/sound_names/* "$dir/" ;;
    fuzz_settings_ini) cp "$seeds"/settings_ini/* "$dir/" ;;
    fuzz_light_settings) cp "$seeds"/light_settings/* "$dir/" ;;
    fuzz_player_settings) cp "$seeds"/player_settings/* "$dir/" ;;
    fuzz_params) cp "$seeds"/settings_ini/* "$seeds"/light_settings/* "$seeds"/player_settings/* "$dir/" ;;
    fuzz_scene_file)
        # The first byte picks the file of the scene: 0 props, 1 point lights, 2 directional light.
        local kind=0
        for ext in json plight dlight; do
            { printf "\\x0$kind"; cat "$data/scenes/testroom.$ext"; } > "$dir/testroom.$ext"
            kind=$((kind + 1))
        done ;;
    esac
}

# The readers write beside the files they read; a memory-backed folder keeps that fast.
[ -d /dev/shm ] && export TMPDIR=${TMPDIR:-/dev/shm}
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1:suppressions=$root/fuzz/ubsan.supp}
status=0
for target in "${targets[@]}"; do
    corpus=$build/corpus/$target
    crashes=$build/crashes/$target
    mkdir -p "$corpus" "$crashes"
    [ -n "$(ls -A "$corpus")" ] || seed "$target" "$corpus"
    log=$build/$target.log
    # The readers' own messages are dropped: only the fuzzer's lines and reports remain.
    if "$build/fuzz/$target" -max_total_time="$seconds" ${FUZZ_RUNS:+-runs=$FUZZ_RUNS} \
           -max_len="${FUZZ_MAX_LEN:-256}" -close_fd_mask=3 -print_final_stats=1 \
           -timeout=10 -rss_limit_mb=2048 -artifact_prefix="$crashes/" "$corpus" >"$log" 2>&1; then
        result=ok
    else
        result=FAILED
        status=1
    fi
    runs=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$log" | grep -o '[0-9]*$' || echo "?")
    printf '%-24s %12s executions  %s\n' "$target" "$runs" "$result"
    if [ $result = FAILED ]; then
        grep -E 'ERROR|SUMMARY|runtime error|Test unit written' "$log" | head -n 20 || true
    fi
done
exit $status
