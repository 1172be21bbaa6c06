#!/bin/sh
# velmora-cli on folder trees with one and with two workers, and the peak memory of two
# workers on two 1 GiB files. Usage: bench/cli_jobs.sh [build folder] [work folder]
# The work folder (default: the build folder) needs about 5 GiB for the memory run, which
# NO_HUGE=1 leaves out (for a work folder in memory, such as /dev/shm).
set -eu
build=${1:-build}
work=${2:-$build}/velmora-cli-bench
cli=$build/cli/velmora-cli
mkdir -p "$work"
export XDG_STATE_HOME="$work/state"
printf 'bench\n' > "$work/password"

tree() {  # tree NAME COUNT SIZE: COUNT files of SIZE bytes in 10 folders
    [ -d "$work/$1" ] && return
    mkdir -p "$work/$1"
    i=0
    while [ "$i" -lt "$2" ]; do
        mkdir -p "$work/$1/d$((i % 10))"
        head -c "$3" /dev/urandom > "$work/$1/d$((i % 10))/f$i"
        i=$((i + 1))
    done
}

seconds() {  # seconds JOBS TREE: the wall time of encrypting TREE, from a warm page cache
    rm -rf "$work/out"
    cat "$work"/"$2"/*/* > /dev/null
    start=$(date +%s.%N)
    "$cli" encrypt -q --jobs "$1" --password-stdin -o "$work/out" "$work/$2" < "$work/password"
    end=$(date +%s.%N)
    awk "BEGIN { printf \"%.3f\", $end - $start }"
}

echo "cores the process may use: $(nproc)"
for shape in "t256k 400 262144" "t1k 4000 1024"; do
    set -- $shape
    tree "$1" "$2" "$3"
    one=$(seconds 1 "$1")
    two=$(seconds 2 "$1")
    echo "$2 files of $3 bytes: --jobs 1 ${one}s, --jobs 2 ${two}s, $(awk "BEGIN { printf \"%.2f\", $one / $two }")x"
done

[ "${NO_HUGE:-}" = 1 ] && exit 0
mkdir -p "$work/huge"
for f in a b; do
    [ -f "$work/huge/$f" ] || head -c 1073741824 /dev/urandom > "$work/huge/$f"
done
rm -rf "$work/out"
/usr/bin/time -f "two 1 GiB files, --jobs 2: %e s, peak memory %M KiB" \
    "$cli" encrypt -q --jobs 2 --password-stdin -o "$work/out" "$work/huge" < "$work/password"
rm -rf "$work/out"
