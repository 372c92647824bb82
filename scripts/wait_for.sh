# shellcheck shell=bash
# Sourced by the service, test and benchmark scripts: every wait for something started in the
# background is bounded the same way.

# wait_for SECONDS COMMAND...: retries COMMAND every 0.05 s for at least SECONDS; false when it
# never succeeded.
wait_for() {
  local deadline=$((SECONDS + $1))
  shift
  until "$@" >/dev/null 2>&1; do
    ((SECONDS <= deadline)) || return 1
    sleep 0.05
  done
}
