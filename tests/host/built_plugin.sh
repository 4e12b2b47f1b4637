# Sourced by the host's script tests after host= is set: registers the built
# plug-in with the registration tool into a config home of the test's own
# (default: exported as XDG_CONFIG_HOME), so no user's registry is touched.
# Usage: register_plugin CONFIG_HOME [export]
register_plugin() {
  local bin; bin="$(dirname "$host")"
  XDG_CONFIG_HOME="$1" "$bin/kado-regsvr" /s "$bin/../lib/libhonora.so" \
    || { echo "FAIL: the built plug-in could not be registered in $1"; exit 1; }
  [ "${2:-}" = export ] && export XDG_CONFIG_HOME="$1"
  return 0
}
