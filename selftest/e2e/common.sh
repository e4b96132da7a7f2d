# Shared by the end-to-end scripts: running the program under Wine and paths.
# Needs: exe (the program), prefix (the Wine prefix), source (the source tree).

# Runs the program with the given arguments; its exit code is the program's.
run_clock() { "$source/cmake/wine-run" --prefix="$prefix" "$exe" "$@" </dev/null; }

# A Unix path as the program sees it (Wine's drive Z: is the Unix root).
windows_path() { printf 'Z:%s' "${1//\//\\}"; }

# The files the self-test writes, in the order it writes them.
self_test_files() {
  for size in 160 320 640 960 1200; do echo "preview-$size.png"; done
  for i in 0 1 2 3 4 5 6 7 8 9 10 11; do echo "rotation-$i.png"; done
  echo no-glass.png no-shadow.png no-seconds.png selftest.txt | tr ' ' '\n'
}

. "$source/testing/e2e_checks.sh" # pass, fail, failures, wait_for

# Read-only for this user: root writes through permission bits, so as root the
# immutable attribute is set instead. `writable` undoes it (before clean-up).
read_only() { if [ "$(id -u)" -eq 0 ]; then chattr +i "$@"; else chmod a-w "$@"; fi; }
writable() { if [ "$(id -u)" -eq 0 ]; then chattr -i "$@"; else chmod u+w "$@"; fi; }
