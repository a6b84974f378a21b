# What the measuring scripts share; sourced, not run.
#
# Before sourcing, set: name (the script's name, for messages) and maker (the
# installation generator's target name). Takes the script's arguments
# [BUILD_DIR] [COUNT]; sets root, build, count, cli, runs and install (a generated
# installation in a temporary folder, removed on exit), and defines elapsed,
# median and in_turns.

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${1:-$root/build/dev}"
count="${2:-5000}"
cli="$build/bin/vantor-cli"
runs=5

for program in "$cli" "$build/bin/$maker"; do
    if [[ ! -x "$program" ]]; then
        echo "$name: $program is missing; build the targets vantor_cli and $maker" >&2
        exit 2
    fi
done

install="$(mktemp -d "${TMPDIR:-/tmp}/vantor-$name.XXXXXX")"
trap 'rm -rf "$install" "$install.time" "$install.files"' EXIT
"$build/bin/$maker" "$install" "$count" >/dev/null

# Prints the elapsed seconds of one run of a command, its output discarded.
elapsed() {
    /usr/bin/time -f %e -o "$install.time" "$@" >/dev/null
    cat "$install.time"
}

# Prints the median of numbers given one per line.
median() {
    sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}

# Times two commands, given as two strings run by bash, in turns after one
# warm-up run of each; sets a_times, b_times, a_median and b_median.
in_turns() {
    elapsed bash -c "$1" >/dev/null
    elapsed bash -c "$2" >/dev/null
    a_times=()
    b_times=()
    for ((i = 0; i < runs; i++)); do
        a_times+=("$(elapsed bash -c "$1")")
        b_times+=("$(elapsed bash -c "$2")")
    done
    a_median="$(printf '%s\n' "${a_times[@]}" | median)"
    b_median="$(printf '%s\n' "${b_times[@]}" | median)"
}
