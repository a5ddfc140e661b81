# Shared by the scripts that start processes and keep a work folder: they add the ids of the
# processes they start to the array pids and set work to their folder before sourcing this.
# On exit the processes are ended by id and the folder is removed; a caller with more to undo
# defines cleanup_more, which runs in between. Sourced, not run.
pids=()
cleanup() {
  local p
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
  wait 2>/dev/null || true
  if declare -F cleanup_more >/dev/null; then cleanup_more; fi
  rm -rf "$work"
}
trap cleanup EXIT
