# Sourced by the show-level shell tests. Without generated data a test skips (exit 77),
# except under CI, where a skip would let a machine without data pass blind.
no_data() {
  echo "no generated data in $1"
  case "${CI:-}" in
    "" | false | 0) exit 77 ;;
    *) echo "CI is set: failing instead of skipping"; exit 1 ;;
  esac
}
