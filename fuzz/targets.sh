# shellcheck shell=bash disable=SC2034
# The fuzz targets' settings and the steps scripts/fuzz, scripts/fuzz-campaign and
# scripts/fuzz-coverage share. Sourced from the repository's root folder.

fuzz_all_targets=(mesh anim tga jpeg)
# The longest input each target is given: room for every field at its limit (a 1023-byte
# texture name, nested sub-materials, a 255-byte object name, a picture of many segments), and
# short enough that the loaders, linear in their input, stay fast under the sanitizers.
declare -A fuzz_max_len=([mesh]=4096 [anim]=4096 [tga]=2048 [jpeg]=8192)
fuzz_root=$PWD
fuzz_bin=$fuzz_root/build-fuzz/bin

# Configures build-fuzz/ (clang, ASan + UBSan + libFuzzer) and builds the given targets.
fuzz_build() {
  CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DLANTERNWHIRL_FUZZ=ON -DLANTERNWHIRL_TESTS=OFF >/dev/null
  cmake --build build-fuzz --parallel "$(nproc)" --target "${@/#/fuzz_}" >/dev/null
}

# Makes a folder for the targets to run in: its gfx/ holds the TGA seeds, so the mesh target's
# texture names find files (in any letter case), share slots and upload, as well as miss.
fuzz_run_dir() {
  mkdir -p "$1"
  ln -sfn "$fuzz_root/fuzz/seeds/tga" "$1/gfx"
}

# The committed inputs of a target: its minimised corpus, its hand-made seeds and the inputs
# of past findings.
fuzz_inputs() {
  local d
  for d in corpus seeds regression; do
    [ -d "$fuzz_root/fuzz/$d/$1" ] && echo "$fuzz_root/fuzz/$d/$1"
  done
  return 0
}

# libFuzzer's options for a target; an input that takes 10 s is a hang. A finding's input lands
# in the folder given, under the target's name.
fuzz_options() { # target findings-folder
  mkdir -p "$2"
  echo "-dict=$fuzz_root/fuzz/dict/$1.dict -max_len=${fuzz_max_len[$1]} -timeout=10" \
    "-rss_limit_mb=2048 -close_fd_mask=3 -print_final_stats=1 -artifact_prefix=$2/$1-"
}

# One value of -print_final_stats from the logs given, summed (or the largest, with max).
fuzz_stat() { # name [max] logs...
  local name=$1 how=sum
  shift
  [ "$1" = max ] && how=max && shift
  cat "$@" 2>/dev/null | awk -v n="stat::$name:" -v how=$how '
    $1 == n { v = $2 + 0; s = (how == "max" ? (v > s ? v : s) : s + v) } END { print s + 0 }'
}
