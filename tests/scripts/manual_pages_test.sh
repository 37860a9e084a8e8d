#!/usr/bin/env bash
# Every program prints "<name> <version>" for --version, and each manual page
# lists exactly the options (and commands) its program's --help lists.
#
#   manual_pages_test.sh VERSION PROGRAM[=MANUAL_PAGE]...
set -uo pipefail

version=$1
shift
failures=0
fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}

# The options of one CLI11 help text: the first column of its option lines.
help_options() {
  grep -E '^  +-' | awk '{print $1}' | tr ',' '\n' | grep -E '^-' | sort -u
}

# Every option a manual page names anywhere, its roff escapes taken out.
page_options() {
  sed -e 's/\\-/-/g' -e 's/\\f[BIRP]//g' "$1" |
    grep -oE '(^|[^A-Za-z0-9/_-])--?[A-Za-z][A-Za-z-]*' | sed -E 's/^[^-]//' | sort -u
}

for entry in "$@"; do
  program=${entry%%=*}
  name=$(basename "$program")
  printed=$(timeout 10 "$program" --version </dev/null 2>&1)
  [ "$printed" = "$name $version" ] || fail "$name --version printed '$printed', not '$name $version'"

  [ "$entry" = "$program" ] && continue
  page=${entry#*=}
  help=$("$program" --help) || fail "$name --help failed"
  listed=$(help_options <<<"$help")
  # A program with commands: each command's own options, and the command in the page.
  for command in $(sed -n '/^Subcommands:/,/^$/p' <<<"$help" | grep -E '^  +[a-z]' | awk '{print $1}'); do
    listed+=$'\n'$("$program" "$command" --help | help_options)
    grep -Fq ".B $name $command" "$page" || fail "$page does not show the command $command"
  done
  listed=$(sort -u <<<"$listed")
  documented=$(page_options "$page")
  missing=$(comm -23 <(echo "$listed") <(echo "$documented"))
  extra=$(comm -13 <(echo "$listed") <(echo "$documented"))
  [ -z "$missing" ] || fail "$page leaves out what $name --help lists:" $missing
  [ -z "$extra" ] || fail "$page names options $name --help does not list:" $extra
done

[ "$failures" -eq 0 ] && echo "versions and manual pages agree with the programs"
exit $((failures > 0))
