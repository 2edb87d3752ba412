# Sourced first by the scripts whose header comment is their help: with -h or --help as
# the first argument, print that comment and exit before anything is built or run.
help_text() { sed -n '2,/^[^#]/{/^#/s/^# \{0,1\}//p}' "$0"; }
case ${1:-} in
  -h | --help) help_text; exit 0 ;;
esac
