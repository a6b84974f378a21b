#!/usr/bin/env bash
# Times "vantor-cli --msts DIR stock" against "find DIR/Trains/Trainset -name '*.??g'"
# on a generated installation: five runs each, then the medians and their ratio.
#
# Usage: tools/measure-stock.sh [BUILD_DIR] [COUNT]
#   BUILD_DIR  a build folder holding bin/vantor-cli and bin/make_stock_installation
#              (default: build/dev)
#   COUNT      stock items, one per folder (default: 5000)
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${1:-$root/build/dev}"
count="${2:-5000}"
cli="$build/bin/vantor-cli"
maker="$build/bin/make_stock_installation"
runs=5

for program in "$cli" "$maker"; do
    if [[ ! -x "$program" ]]; then
        echo "measure-stock: $program is missing; build the targets vantor_cli and make_stock_installation" >&2
        exit 2
    fi
done

install="$(mktemp -d "${TMPDIR:-/tmp}/vantor-measure-stock.XXXXXX")"
trap 'rm -rf "$install"' EXIT
"$maker" "$install" "$count"

# Prints the elapsed seconds of one run of a command, its output discarded.
elapsed() {
    /usr/bin/time -f %e -o "$install.time" "$@" >/dev/null
    cat "$install.time"
    rm -f "$install.time"
}

# Prints the median of numbers given one per line.
median() {
    sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}

# Both programs must agree on what they find before their times mean anything.
rows="$("$cli" --msts "$install" stock | wc -l)"
files="$(find "$install/Trains/Trainset" -name '*.??g' | wc -l)"
if [[ "$rows" != "$files" ]]; then
    echo "measure-stock: vantor-cli printed $rows rows, find found $files files" >&2
    exit 1
fi

# One run of each first, so that both meet the same warm cache.
elapsed "$cli" --msts "$install" stock >/dev/null
elapsed find "$install/Trains/Trainset" -name '*.??g' >/dev/null

cli_times=()
find_times=()
for ((i = 0; i < runs; i++)); do
    cli_times+=("$(elapsed "$cli" --msts "$install" stock)")
    find_times+=("$(elapsed find "$install/Trains/Trainset" -name '*.??g')")
done

cli_median="$(printf '%s\n' "${cli_times[@]}" | median)"
find_median="$(printf '%s\n' "${find_times[@]}" | median)"
echo "Installation: $count stock items in $count folders ($rows rows)"
echo "vantor-cli stock: ${cli_times[*]} s, median $cli_median s"
echo "find:             ${find_times[*]} s, median $find_median s"
awk -v a="$cli_median" -v b="$find_median" 'BEGIN {
    if (b > 0) printf "vantor-cli / find: %.2f (target at most 2)\n", a / b
    else print "vantor-cli / find: find took under the timer'\''s resolution"
}'
