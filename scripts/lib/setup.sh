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
  command -v x86_64-w64-mingw32-g++-posix >/dev/null || missing+=(g++-mingw-w64-x86-64)
  command -v locale-gen >/dev/null || missing+=(locales)
  command -v makensis >/dev/null || missing+=(nsis)
  command -v npm >/dev/null || missing+=(npm)
  command -v wixl >/dev/null || missing+=(wixl)
  command -v msibuild >/dev/null || missing+=(msitools)
  [ -x /usr/lib/wine/wine64 ] || missing+=(wine64)
  if ! command -v wine >/dev/null || ! dpkg -s wine32:i386 >/dev/null 2>&1; then
    dorvan_add_i386_architecture
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

# Inno Setup's compiler, from the npm registry at one pinned version, into
# DIR (a folder of the build): DIR/node_modules/innosetup/bin/ISCC.exe.
DORVAN_INNOSETUP_VERSION=6.4.1
dorvan_install_innosetup() {
  local dir=$1
  if [ -f "$dir/node_modules/innosetup/bin/ISCC.exe" ] &&
     grep -q "\"version\": \"$DORVAN_INNOSETUP_VERSION\"" "$dir/node_modules/innosetup/package.json"; then
    return 0
  fi
  echo "== installing Inno Setup $DORVAN_INNOSETUP_VERSION's compiler from the npm registry into $dir"
  mkdir -p "$dir"
  npm install --prefix "$dir" --no-save --no-audit --no-fund --ignore-scripts \
    "innosetup@$DORVAN_INNOSETUP_VERSION" >/dev/null
}

dorvan_add_i386_architecture() {
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    dpkg --add-architecture i386
    DORVAN_APT_UPDATED=""
  fi
}

dorvan_jobs() { nproc 2>/dev/null || echo 2; }

dorvan_build_native() {
  local dir=$1; shift
  echo "== building $dir"
  cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null
  cmake --build "$dir" -j "$(dorvan_jobs)" >/dev/null
}

# dorvan_build_windows i686|x86_64 DIR [cmake arguments]
dorvan_build_windows() {
  local arch=$1 dir=$2; shift 2
  echo "== building $dir"
  cmake -S . -B "$dir" -DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/toolchain-$arch-w64-mingw32.cmake" \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null
  cmake --build "$dir" -j "$(dorvan_jobs)" >/dev/null
}

# Work to undo when the calling script ends, last registered first.
DORVAN_CLEANUP=()
dorvan_at_exit() {
  DORVAN_CLEANUP=("$1" "${DORVAN_CLEANUP[@]}")
  trap 'for step in "${DORVAN_CLEANUP[@]}"; do eval "$step"; done' EXIT
}

# How this machine runs the 32-bit build's Windows programs. Sets
# DORVAN_I386_PATH to "native" or "emulated" and DORVAN_I386_WHY to a
# reason a person can read. DORVAN_EMULATE_32BIT=1 forces the emulated path
# on a machine that could run them natively, so that both can be tried.
dorvan_choose_i386_path() {
  # An i386 emulator this machine registered itself: an enabled entry for
  # 32-bit ELF programs whose interpreter is named for i386.
  DORVAN_I386_MACHINE_ENTRY=""
  local entry
  # An entry of our own whose run was killed before it could remove it
  # would pass for the machine's, and send every 32-bit program through the
  # emulator from then on.
  for entry in /proc/sys/fs/binfmt_misc/dorvan-i386-*; do
    if [ -e "$entry" ] && ! kill -0 "${entry##*-}" 2>/dev/null; then
      echo "== removing $entry, left by a run that was killed"
      echo -1 > "$entry"
    fi
  done
  for entry in /proc/sys/fs/binfmt_misc/*; do
    if grep -qs '^enabled' "$entry" && grep -qs '^magic 7f454c4601' "$entry" &&
       grep -qs '^interpreter .*i386' "$entry"; then
      DORVAN_I386_MACHINE_ENTRY=$entry
    fi
  done
  if [ -n "$DORVAN_I386_MACHINE_ENTRY" ]; then
    DORVAN_I386_PATH=emulated
    DORVAN_I386_WHY="through this machine's own binfmt_misc entry $DORVAN_I386_MACHINE_ENTRY"
  elif [ "${DORVAN_EMULATE_32BIT:-0}" = 1 ]; then
    DORVAN_I386_PATH=emulated
    DORVAN_I386_WHY="as DORVAN_EMULATE_32BIT=1 asks"
  elif dorvan_kernel_runs_i386; then
    DORVAN_I386_PATH=native
    DORVAN_I386_WHY="this kernel runs 32-bit x86 programs"
  else
    DORVAN_I386_PATH=emulated
    DORVAN_I386_WHY="this kernel runs no 32-bit x86 program"
  fi
}

# A static five-instruction i386 program that exits 0; "Exec format error"
# where the kernel has no 32-bit support.
dorvan_kernel_runs_i386() {
  local work status=0
  work=$(mktemp -d)
  printf '.globl _start\n_start:\n movl $1,%%eax\n xorl %%ebx,%%ebx\n int $0x80\n' > "$work/exit.s"
  { as --32 "$work/exit.s" -o "$work/exit.o" && ld -m elf_i386 "$work/exit.o" -o "$work/exit" &&
    "$work/exit"; } 2>/dev/null || status=1
  rm -rf "$work"
  return $status
}

# Runs every i386 program through qemu-user for the rest of the calling
# script: a binfmt_misc entry registered now and removed at its end, and
# the folder mounted for it unmounted again where it was not mounted before.
# Emulated Wine threads need libgcc_s loaded before they exit.
dorvan_begin_i386_emulation() {
  if [ -z "$DORVAN_I386_MACHINE_ENTRY" ]; then
    if [ ! -x /usr/bin/qemu-i386-static ] || ! dpkg -s wine32-preloader:i386 >/dev/null 2>&1; then
      echo "== installing qemu-user-static wine32-preloader:i386"
      dorvan_add_i386_architecture
      dorvan_apt_install qemu-user-static wine32-preloader:i386
    fi
    local folder=/proc/sys/fs/binfmt_misc
    if ! grep -qs " $folder binfmt_misc " /proc/mounts; then
      mount -t binfmt_misc binfmt_misc "$folder"
      dorvan_at_exit "umount $folder"
    fi
    local entry=$folder/dorvan-i386-$$
    printf '%s' ":${entry##*/}:M::\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00:\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff:/usr/bin/qemu-i386-static:F" \
      > "$folder/register"
    dorvan_at_exit "echo -1 > $entry"
    grep -qs '^enabled' "$entry" || { echo "== could not register $entry" >&2; return 1; }
  fi
  export LD_PRELOAD='/$LIB/libgcc_s.so.1'
}

dorvan_end_i386_emulation() { unset LD_PRELOAD; }

# A fresh headless prefix, win32 or win64, removed when the calling script
# ends. DORVAN_WINE is the loader for its programs: 64-bit Wine's own for
# win64, so that nothing of it needs 32-bit code.
dorvan_make_wine_prefix() {
  local arch=$1
  if [ -z "${DORVAN_WINE_HOME:-}" ]; then
    DORVAN_WINE_HOME=$(mktemp -d /tmp/dorvan-wine.XXXXXX)
    dorvan_at_exit 'rm -rf "$DORVAN_WINE_HOME"'
  fi
  export WINEPREFIX=$DORVAN_WINE_HOME/$arch WINEARCH=$arch WINEDEBUG=-all
  # No debugger for a process that crashes: Wine would start winedbg for
  # it, which under user-mode emulation never ends, and neither then does
  # the crashed process or the wait for the prefix (seen in wineboot and
  # in a test program's exit). The crashed process ends instead.
  export WINEDLLOVERRIDES="mscoree,mshtml=;winedbg.exe=d"
  export LC_ALL=pl_PL.UTF-8
  unset DISPLAY WAYLAND_DISPLAY
  if [ "$arch" = win64 ]; then DORVAN_WINE=/usr/lib/wine/wine64; else DORVAN_WINE=$(command -v wine); fi
  dorvan_at_exit "WINEPREFIX=$WINEPREFIX wineserver -k >/dev/null 2>&1 || true"
  echo "== making a $arch Wine prefix in $WINEPREFIX"
  # Under user-mode emulation wineboot has been seen to stand still for
  # good in its own setup steps, before any of our code runs; a prefix that
  # is not made in time is made once more from nothing.
  local limit=300 attempt
  if [ "$arch" = win32 ] && [ "${DORVAN_I386_PATH:-native}" = emulated ]; then limit=900; fi
  for attempt in 1 2; do
    if timeout "$limit" "$DORVAN_WINE" wineboot -i >/dev/null 2>&1; then break; fi
    if [ "$attempt" = 2 ]; then
      echo "wineboot did not make the $arch prefix in $limit s, twice" >&2
      return 1
    fi
    echo "== wineboot did not finish in $limit s: making the prefix once more"
    wineserver -k >/dev/null 2>&1 || true
    rm -rf "$WINEPREFIX"
  done
  "$DORVAN_WINE" reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f >/dev/null 2>&1
  if [ "$arch" = win64 ]; then
    # Where the kernel runs no 32-bit code, Wine cannot set up its 32-bit
    # half, and the registry's 32-bit view lacks what every 64-bit Windows
    # has there and the host's keys hang from.
    local current='HKLM\Software\Microsoft\Windows\CurrentVersion'
    "$DORVAN_WINE" reg query "$current" /v CommonFilesDir /reg:32 >/dev/null 2>&1 ||
      "$DORVAN_WINE" reg add "$current" /v CommonFilesDir /d 'C:\Program Files (x86)\Common Files' /reg:32 /f \
        >/dev/null 2>&1
    "$DORVAN_WINE" reg add 'HKLM\Software\Microsoft\Shared Tools' /reg:32 /f >/dev/null 2>&1
  fi
  wineserver -w
  # One server for the whole run, with Wine's own services started here:
  # each test program then starts in a moment, and no service started by a
  # test holds that test's output open after it ends.
  wineserver -p
  "$DORVAN_WINE" cmd /c exit </dev/null >/dev/null 2>&1
}
