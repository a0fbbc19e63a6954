# shellcheck shell=bash
# The steps the scripts share. Sourced from the repository's root folder, as fuzz/targets.sh is.

# Installs what is missing (scripts/install-deps, with its --windows or --web) once a run: the
# scripts that call one another check the machine only the first time. The list of what was
# checked travels to the scripts they start in LW_DEPS_CHECKED.
lw_deps() { # [--windows | --web]
  local what=${1:-linux}
  case " ${LW_DEPS_CHECKED:-} " in *" $what "*) return 0 ;; esac
  scripts/install-deps "$@"
  export LW_DEPS_CHECKED="${LW_DEPS_CHECKED:-} linux $what"
}

# Configures a CMake build folder, with Ninja when it is installed: a folder configured before
# with Make keeps Make (CMake refuses to change the generator of a folder). Quiet.
lw_configure() { # build-folder cmake-arguments...
  local build=$1 generator=()
  shift
  command -v ninja >/dev/null && [ ! -f "$build/Makefile" ] && generator=(-G Ninja)
  cmake -S . -B "$build" "${generator[@]}" "$@" >/dev/null
}

# SOURCE_DATE_EPOCH, the time every release file carries, is the commit's (or, in a tree
# unpacked from the source tarball, whose files all carry the commit's time, CMakeLists.txt's).
# A value already in the environment stays. Exported, so that CPack, dpkg and the zips see it.
lw_source_date_epoch() {
  local root
  root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
  if [ -z "${SOURCE_DATE_EPOCH:-}" ]; then
    SOURCE_DATE_EPOCH=$(git -C "$root" log -1 --format=%ct 2>/dev/null ||
      stat -c %Y "$root/CMakeLists.txt")
  fi
  export SOURCE_DATE_EPOCH
}
