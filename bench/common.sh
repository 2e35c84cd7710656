# SPDX-License-Identifier: GPL-3.0-or-later
# Start-up shared by the benchmarks: sourced with NAME (run, scale), the
# usage text in USAGE, the packages to install in PACKAGES and the room
# needed in NEED_KIB. Parses [--keep] [WORKDIR], builds tarvel-batch in
# release mode, and sets root, batch and work: a new folder under WORKDIR,
# removed at exit unless --keep is given.

keep=0
parent=${TMPDIR:-/tmp}
while [ $# -gt 0 ]; do
  case $1 in
    --keep) keep=1 ;;
    -h | --help) echo "$USAGE"; exit 0 ;;
    -*) echo "$USAGE" >&2; exit 2 ;;
    *) parent=$1 ;;
  esac
  shift
done
[ -d "$parent" ] || { echo "bench/$NAME: $parent: not a folder" >&2; exit 2; }

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${TARVEL_BUILD_DIR:-build-bench}
[[ $build = /* ]] || build=$root/$build
batch=$build/cli/tarvel-batch

# shellcheck disable=SC2086 # one package a word
"$root/scripts/install-deps" $PACKAGES
TARVEL_BUILD_DIR=$build "$root/scripts/build" -DBUILD_TESTING=OFF >/dev/null

free_kib=$(df -Pk "$parent" | awk 'NR == 2 { print $4 }')
if [ "$free_kib" -lt "$NEED_KIB" ]; then
  echo "bench/$NAME: $parent has less than $((NEED_KIB / 1048576)) GiB free" >&2
  exit 2
fi
work=$(mktemp -d "$parent/tarvel-$NAME.XXXXXX")
cleanup() { if [ $keep -eq 1 ]; then echo "kept $work"; else rm -rf "$work"; fi; }
trap cleanup EXIT
echo "work folder: $work"
