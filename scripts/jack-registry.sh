# Sourced by ./test. JACK keeps its servers in a registry in shared memory
# with room for eight, and a server that was killed outright keeps its place
# there. With no JACK server running every place is stale: clearing them lets
# the tests' own servers start after any earlier run that was cut short.

corvanta_clear_stale_jack_registry() {
  local comm
  for comm in /proc/[0-9]*/comm; do
    case "$(cat "$comm" 2>/dev/null)" in
      jackd|jackdbus) return 0 ;;
    esac
  done
  find /dev/shm -maxdepth 1 -name 'jack*' -user "$(id -u)" -exec rm -rf {} + 2>/dev/null || true
}
