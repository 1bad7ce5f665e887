# SPDX-License-Identifier: GPL-3.0-or-later
# shellcheck shell=bash
# Sourced by the whole-program measurements.

# processor_share PID SECONDS: waits SECONDS, then prints the processor time (user +
# system, all threads) PID used meanwhile as a share of the wall time.
processor_share() {
    local pid=$1 seconds=$2 start before after end
    start=$(date +%s.%N)
    before=$(awk '{ print $14 + $15 }' "/proc/$pid/stat")
    sleep "$seconds"
    after=$(awk '{ print $14 + $15 }' "/proc/$pid/stat")
    end=$(date +%s.%N)
    awk -v t="$((after - before))" -v hz="$(getconf CLK_TCK)" -v s="$start" -v e="$end" \
        'BEGIN { printf "%.2f %% of %.0f s", 100 * t / hz / (e - s), e - s }'
}

# load_both_cores ARRAY: starts two busy processes and adds their PIDs to ARRAY.
load_both_cores() {
    local -n into=$1
    for _ in 1 2; do
        (while :; do :; done) &
        into+=($!)
    done
}
