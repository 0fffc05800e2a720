# Shared steps of the project's commands: installing what is missing,
# configuring and building, and making a private Wine prefix.

DORVAN_APT_UPDATED=""

# A mirror caught in the middle of a sync serves index files that do not
# match their release file for a while; the update and the install are
# tried again. When the security suite's i386 index stays out of step, the
# two architectures' versions of a library disagree and nothing with i386
# parts can be installed; the last attempt then takes the main suite alone.
dorvan_apt_install() {
  local attempt
  for attempt in 1 2 3; do
    if [ -z "$DORVAN_APT_UPDATED" ]; then
      apt-get update -qq && DORVAN_APT_UPDATED=1
    fi
    if DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "$@" >/dev/null; then
      return 0
    fi
    echo "== apt-get failed (attempt $attempt of 3)" >&2
    DORVAN_APT_UPDATED=""
    [ "$attempt" -eq 3 ] || sleep 30
  done
  echo "== installing $* from the main suite alone" >&2
  local preferences
  preferences=$(mktemp)
  printf 'Package: *\nPin: release l=Debian-Security\nPin-Priority: -1\n' > "$preferences"
  local status=0
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq -o Dir::Etc::Preferences="$preferences" "$@" >/dev/null ||
    status=$?
  rm -f "$preferences"
  return $status
}

dorvan_install_prerequisites() {
  local missing=()
  command -v cmake >/dev/null || missing+=(cmake)
  command -v g++ >/dev/null || missing+=(g++)
  command -v make >/dev/null || missing+=(make)
  command -v pkg-config >/dev/null || missing+=(pkg-config)
  [ -f /usr/include/gtest/gtest.h ] || missing+=(libgtest-dev)
  [ -d /usr/src/googletest/googletest ] || missing+=(googletest)
  command -v i686-w64-mingw32-g++-posix >/dev/null || missing+=(g++-mingw-w64-i686)
  command -v locale-gen >/dev/null || missing+=(locales)
  if ! command -v wine >/dev/null || ! dpkg -s wine32:i386 >/dev/null 2>&1; then
    if ! dpkg --print-foreign-architectures | grep -qx i386; then
      dpkg --add-architecture i386
      DORVAN_APT_UPDATED=""
    fi
    missing+=(wine wine32:i386)
  fi
  if [ ${#missing[@]} -gt 0 ]; then
    echo "== installing ${missing[*]}"
    dorvan_apt_install "${missing[@]}"
  fi
  # The Windows tests run with the Polish locale, whose ANSI code page is 1250.
  if ! locale -a 2>/dev/null | grep -qix 'pl_PL.utf8'; then
    echo "== generating the pl_PL.UTF-8 locale"
    sed -i 's/^# *\(pl_PL.UTF-8 UTF-8\)/\1/' /etc/locale.gen
    grep -q '^pl_PL.UTF-8 UTF-8' /etc/locale.gen || echo 'pl_PL.UTF-8 UTF-8' >> /etc/locale.gen
    locale-gen >/dev/null
  fi
}

dorvan_jobs() { nproc 2>/dev/null || echo 2; }

dorvan_build_native() {
  local dir=$1; shift
  echo "== building $dir"
  cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null
  cmake --build "$dir" -j "$(dorvan_jobs)" >/dev/null
}

dorvan_build_windows() {
  local dir=$1; shift
  echo "== building $dir"
  cmake -S . -B "$dir" -DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/toolchain-i686-w64-mingw32.cmake" \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null
  cmake --build "$dir" -j "$(dorvan_jobs)" >/dev/null
}

# A fresh 32-bit prefix, headless, removed when the calling script ends.
dorvan_make_wine_prefix() {
  DORVAN_WINE_HOME=$(mktemp -d /tmp/dorvan-wine.XXXXXX)
  export WINEPREFIX=$DORVAN_WINE_HOME/prefix WINEARCH=win32 WINEDEBUG=-all
  export WINEDLLOVERRIDES="mscoree,mshtml="
  export LC_ALL=pl_PL.UTF-8
  unset DISPLAY WAYLAND_DISPLAY
  trap 'wineserver -k >/dev/null 2>&1 || true; rm -rf "$DORVAN_WINE_HOME"' EXIT
  echo "== making a Wine prefix in $WINEPREFIX"
  wineboot -i >/dev/null 2>&1
  wine reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f >/dev/null 2>&1
  wineserver -w
  # One server for the whole run, with Wine's own services started here:
  # each test program then starts in a moment, and no service started by a
  # test holds that test's output open after it ends.
  wineserver -p
  wine cmd /c exit </dev/null >/dev/null 2>&1
}
