#!/usr/bin/env bash
# Times "vantor-cli --msts DIR check all-stock" on a generated installation of
# engines and wagons with their shapes, sounds and cab views: five runs, then the
# median, beside the median of reading every file the check reads once with cat.
#
# Usage: tools/measure-check.sh [BUILD_DIR] [COUNT]
#   BUILD_DIR  a build folder holding bin/vantor-cli and bin/make_check_installation
#              (default: build/dev)
#   COUNT      engines and wagons, one per stock folder (default: 5000)
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${1:-$root/build/dev}"
count="${2:-5000}"
cli="$build/bin/vantor-cli"
maker="$build/bin/make_check_installation"
runs=5

for program in "$cli" "$maker"; do
    if [[ ! -x "$program" ]]; then
        echo "measure-check: $program is missing; build the targets vantor_cli and make_check_installation" >&2
        exit 2
    fi
done

install="$(mktemp -d "${TMPDIR:-/tmp}/vantor-measure-check.XXXXXX")"
trap 'rm -rf "$install" "$install.time" "$install.files"' EXIT
"$maker" "$install" "$count" >/dev/null
find "$install/Trains/Trainset" -type f \( -name '*.eng' -o -name '*.wag' -o -name '*.sms' -o -name '*.cvf' \) \
    -print0 >"$install.files"

# Prints the elapsed seconds of one run of a command, its output discarded.
elapsed() {
    /usr/bin/time -f %e -o "$install.time" "$@" >/dev/null
    cat "$install.time"
}

# Prints the median of numbers given one per line.
median() {
    sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}

# The generated installation is clean: the check must report nothing.
status=0
report="$("$cli" --msts "$install" check all-stock)" || status=$?
if [[ $status -ne 0 || -n "$report" ]]; then
    echo "measure-check: the check reported problems (exit $status):" >&2
    printf '%s\n' "$report" | head -5 >&2
    exit 1
fi
elapsed bash -c "xargs -0 cat <'$install.files'" >/dev/null

cli_times=()
cat_times=()
for ((i = 0; i < runs; i++)); do
    cli_times+=("$(elapsed "$cli" --msts "$install" check all-stock)")
    cat_times+=("$(elapsed bash -c "xargs -0 cat <'$install.files'")")
done

cli_median="$(printf '%s\n' "${cli_times[@]}" | median)"
cat_median="$(printf '%s\n' "${cat_times[@]}" | median)"
files="$(tr -cd '\0' <"$install.files" | wc -c)"
echo "Installation: $count engines and wagons; the check reads $files files"
echo "vantor-cli check all-stock: ${cli_times[*]} s, median $cli_median s"
echo "cat of those files:         ${cat_times[*]} s, median $cat_median s"
awk -v a="$cli_median" -v b="$cat_median" 'BEGIN {
    if (b > 0) printf "check / cat: %.2f\n", a / b
    else print "check / cat: cat took under the timer'\''s resolution"
}'
