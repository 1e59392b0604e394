#!/usr/bin/env bash
# Soak: the terminal logged in against velmora-exchange for a given time, switching views and
# candle periods and walking the trade panel (a unit order now and then) every 0.7 s while the
# exchange trades briskly. Samples the terminal's
# resident memory and CPU every 10 s and fails when memory grows by more than a small bound
# after the warm-up (passing peaks aside), or when the terminal or the exchange dies.
#
#   scripts/soak.sh [SECONDS]            default 3600
#
# Environment: VELMORA_BUILD_DIR (default build/), VELMORA_SOAK_INTERVAL (10 s),
# VELMORA_SOAK_WARMUP (default a sixth of the run, at least 30 s), VELMORA_SOAK_BOUND_MB (16),
# VELMORA_SOAK_CSV (where the samples go; default a file in the build folder).
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${VELMORA_BUILD_DIR:-$root/build}"
seconds="${1:-3600}"
interval="${VELMORA_SOAK_INTERVAL:-10}"
warmup="${VELMORA_SOAK_WARMUP:-$(( seconds / 6 > 30 ? seconds / 6 : 30 ))}"
bound_kb=$(( ${VELMORA_SOAK_BOUND_MB:-16} * 1024 ))
csv="${VELMORA_SOAK_CSV:-$build/soak-samples.csv}"

bash "$root/scripts/build.sh" velmora-exchange velmora_soak >/dev/null

# A loopback address of this run's own (as the tests pick theirs), clear of 127.0.0.1/2.
pid=$$
address="127.$(( 1 + pid / 65025 % 250 )).$(( pid / 255 % 255 )).$(( 1 + pid % 254 ))"
work="$(mktemp -d)"
cp "$root/data/listtitle.txt" "$root/data/currentlisttitle.txt" "$work/"

"$build/exchange/velmora-exchange" --listen "$address" --update-listen "$address:8090" --pace 20 \
  --session-clock >"$work/exchange.log" 2>&1 &
exchange=$!
terminal=""
cleanup() {
  [ -n "$terminal" ] && kill "$terminal" 2>/dev/null || true
  kill "$exchange" 2>/dev/null || true
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
for _ in $(seq 50); do
  grep -q "update host" "$work/exchange.log" 2>/dev/null && break
  sleep 0.1
done

QT_QPA_PLATFORM=offscreen "$build/tests/soak/velmora_soak" --host "$address" --seconds "$seconds" \
  --workdir "$work" >"$work/terminal.log" 2>&1 &
terminal=$!

ticks=$(getconf CLK_TCK)
cpu_ticks() { awk '{ print $14 + $15 }' "/proc/$1/stat"; }
rss_kb() { awk '/^VmRSS:/ { print $2 }' "/proc/$1/status"; }

echo "seconds,rss_kb,cpu_percent,exchange_rss_kb" >"$csv"
start=$(date +%s)
last_cpu=0
last_t=$start
baseline=""
recent=""
status=0
echo "soak: ${seconds} s against $address, samples every ${interval} s, warm-up ${warmup} s, bound $(( bound_kb / 1024 )) MiB"
while :; do
  sleep "$interval"
  now=$(date +%s)
  if ! kill -0 "$terminal" 2>/dev/null || [ ! -r "/proc/$terminal/stat" ]; then break; fi
  if ! kill -0 "$exchange" 2>/dev/null; then
    echo "soak: FAILED: the exchange died"; cat "$work/exchange.log"; exit 1
  fi
  cpu=$(cpu_ticks "$terminal") || break
  rss=$(rss_kb "$terminal") || break
  xrss=$(rss_kb "$exchange")
  elapsed=$(( now - start ))
  pct=$(awk -v c=$(( cpu - last_cpu )) -v t=$(( now - last_t )) -v hz="$ticks" \
        'BEGIN { printf "%.1f", (t > 0 ? 100 * c / hz / t : 0) }')
  last_cpu=$cpu
  last_t=$now
  echo "$elapsed,$rss,$pct,$xrss" >>"$csv"
  echo "soak: ${elapsed} s  RSS $(( rss / 1024 )) MiB  CPU ${pct} %"
  if [ "$elapsed" -ge "$warmup" ]; then
    if [ -z "$baseline" ]; then baseline=$rss; fi
    recent="$recent $rss"
  fi
done
wait "$terminal" || status=$?
terminal=""
cat "$work/terminal.log"
if [ "$status" -ne 0 ]; then
  echo "soak: FAILED: the terminal ended with status $status"
  exit 1
fi

awk -F, -v hz="$ticks" 'NR > 1 { n++; if (n == 1) first = $2; last = $2; if ($2 > max) max = $2; sum += $3 }
  END { if (n) printf "soak: %d samples; RSS start %.1f MiB, end %.1f MiB, max %.1f MiB; mean CPU %.1f %%\n",
        n, first / 1024, last / 1024, max / 1024, sum / n }' "$csv"
echo "soak: samples in $csv"
if [ -z "$baseline" ]; then
  echo "soak: FAILED: no sample after the warm-up"
  exit 1
fi
# Growth is what stays: the least of the last three samples over the first after the
# warm-up, so a passing peak (a large reply being read) does not count, a leak does.
settled=$(echo $recent | tr ' ' '\n' | tail -3 | sort -n | head -1)
growth=$(( settled > baseline ? settled - baseline : 0 ))
echo "soak: growth after warm-up $(( growth / 1024 )) MiB (bound $(( bound_kb / 1024 )) MiB)"
if [ "$growth" -gt "$bound_kb" ]; then
  echo "soak: FAILED: memory grew beyond the bound"
  exit 1
fi
echo "soak: passed"
