# A private PulseAudio for the sound benchmarks: its socket, home and log live in $work, and
# its id goes into pids, so lib-cleanup.sh (sourced first) ends it with the script.
# start_private_pulse SINK MODULE...   loads each MODULE ("name args") and makes SINK the
# default. Sourced, not run.
start_private_pulse() {
  local sink=$1 module loads=()
  shift
  for module in "$@"; do loads+=(-L "$module"); done
  mkdir -p "$work/home"
  chmod 700 "$work"
  export XDG_RUNTIME_DIR=$work HOME=$work/home XDG_CONFIG_HOME=$work/home/.config
  pulseaudio -n --daemonize=no --exit-idle-time=-1 --use-pid-file=no \
    -L "module-native-protocol-unix auth-anonymous=1" "${loads[@]}" \
    --log-target=file:"$work/pulse.log" >/dev/null 2>&1 &
  pids+=($!)
  for _ in $(seq 100); do pactl set-default-sink "$sink" 2>/dev/null && break; sleep 0.1; done
  pactl info >/dev/null 2>&1 || { echo "$0: the private sound server did not start" >&2; exit 1; }
}

# start_bench_sink: the private server with one null sink named bench, and a silent stream kept
# open on it, so that the server's own wake-up is nobody's cost.
start_bench_sink() {
  start_private_pulse bench "module-null-sink sink_name=bench rate=44100 channels=2"
  pacat --raw --rate=44100 --channels=2 --format=s16le /dev/zero >/dev/null 2>&1 &
  pids+=($!)
}
