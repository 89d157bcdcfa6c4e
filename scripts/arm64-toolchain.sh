#!/usr/bin/env bash
# Sets up the cross toolchain for 64-bit Windows on ARM (aarch64-w64-mingw32) from Debian's packages
# only: Debian's clang-19, lld-19 and llvm-19, and a MinGW-w64 runtime (headers and C runtime,
# UCRT), compiler-rt's builtins and libc++ (with libc++abi and libunwind) built from Debian's source
# packages mingw-w64 and llvm-toolchain-19, into build/arm64-toolchain/prefix:
#
#   prefix/bin/aarch64-w64-mingw32-{clang,clang++,ar,ranlib,dlltool,windres,objdump,readobj,strip}
#   prefix/sysroot     headers and libraries of the target
#   prefix/clangres    clang 19's own headers and the builtins, so nothing is written into the system's clang
#
# The source packages are the versions of the system's clang-19 and MinGW-w64 packages, fetched with
# a private apt configuration (scripts/lib/private-apt.sh) that leaves the system's untouched. Each
# step is stamped with the versions and its own recipe: a run does only what is not current, and
# nothing at all when the whole prefix is (a first run takes about a quarter of an hour on 2 cores).
#
#   arm64-toolchain.sh          set up (or check) the toolchain, print its bin folder
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
. scripts/lib/private-apt.sh

scripts/ensure-packages.sh >&2
tc=$root/build/arm64-toolchain
prefix=$tc/prefix
sysroot=$prefix/sysroot
clangres=$prefix/clangres
work=$tc/work
downloads=$tc/downloads
target=aarch64-w64-mingw32
llvm=/usr/lib/llvm-19
jobs=$(nproc)

llvm_version=$(dpkg-query -W -f='${source:Version}' clang-19)
mingw_version=$(dpkg-query -W -f='${source:Version}' mingw-w64-x86-64-dev)
versions="llvm-toolchain-19 $llvm_version, mingw-w64 $mingw_version"

log() { echo "arm64-toolchain: $*" >&2; }

# The runtimes' own file names (their assertions' texts) name no folder of this machine: the same
# sources give the same libraries, and so the same modules, in any checkout.
no_paths="-ffile-prefix-map=$tc=/zk-arm64-toolchain"

# Runs step NAME (a function step_NAME) unless its stamp says it was done with the same versions,
# the same recipe and the same steps before it. A step that runs again makes every later one run.
chain=$versions
run_step() {
  local name=$1 stamp=$tc/stamps/$1
  chain=$(printf '%s\n%s\n' "$chain" "$(declare -f "step_$name")" | sha256sum | cut -c1-32)
  if [ "$(cat "$stamp" 2>/dev/null)" = "$chain" ]; then
    return 0
  fi
  log "$name ..."
  local started=$SECONDS
  rm -f "$stamp"
  "step_$name"
  mkdir -p "$tc/stamps"
  echo "$chain" >"$stamp"
  log "$name done in $((SECONDS - started)) s"
}

step_downloads() {
  # Source packages of exactly the installed versions, from the mirror the system uses.
  mkdir -p "$downloads"
  rm -rf "$tc/apt"
  private_apt_init "$tc/apt" deb-src amd64
  private_apt "$tc/apt" apt-get update -qq
  (cd "$downloads" && private_apt "$tc/apt" apt-get source --download-only -qq \
    "mingw-w64=$mingw_version" "llvm-toolchain-19=$llvm_version")
}

# The upstream sources of both packages, unpacked once for the steps that build.
need_sources() {
  [ ! -e "$work/src/complete" ] || return 0
  rm -rf "$work/src"
  mkdir -p "$work/src"
  local upstream
  upstream=$(echo "${mingw_version#*:}" | sed 's/-[^-]*$//')
  tar -xjf "$downloads/mingw-w64_$upstream.orig.tar.bz2" -C "$work/src"
  mv "$work/src"/mingw-w64-v* "$work/src/mingw-w64"
  # Of LLVM only what the runtimes' build reads.
  upstream=$(echo "${llvm_version#*:}" | sed 's/-[^-]*$//')
  local top=llvm-toolchain-19_$upstream
  tar -xJf "$downloads/$top.orig.tar.xz" -C "$work/src" \
    "$top/cmake" "$top/runtimes" "$top/compiler-rt" "$top/libcxx" "$top/libcxxabi" "$top/libunwind" \
    "$top/llvm/cmake" "$top/llvm/utils/lit"
  mv "$work/src/$top" "$work/src/llvm"
  touch "$work/src/complete"
}

step_wrappers() {
  rm -rf "$prefix"
  mkdir -p "$prefix/bin" "$sysroot" "$clangres"
  # clang's own headers; the builtins join them in lib/windows below.
  cp -a "$llvm/lib/clang/19/include" "$clangres/include"
  local tool
  for tool in clang clang++; do
    cat >"$prefix/bin/$target-$tool" <<EOF
#!/bin/sh
# $tool for $target against this toolchain's sysroot and runtimes.
here=\$(dirname "\$(readlink -f "\$0")")/..
exec $llvm/bin/$tool --target=$target --sysroot="\$here/sysroot" -resource-dir="\$here/clangres" \\
  -rtlib=compiler-rt -unwindlib=libunwind -stdlib=libc++ -fuse-ld=lld "\$@"
EOF
    chmod +x "$prefix/bin/$target-$tool"
  done
  for tool in ar ranlib dlltool; do
    ln -s "$llvm/bin/llvm-$tool" "$prefix/bin/$target-$tool"
  done
}

# The tools the runtimes' build does not use, last, so that a change here builds nothing again.
step_tools() {
  for tool in objdump readobj strip nm; do
    ln -sfn "$llvm/bin/llvm-$tool" "$prefix/bin/$target-$tool"
  done
  # windres preprocesses with the target's clang (the sysroot's headers), not the system's.
  cat >"$prefix/bin/$target-windres" <<EOF
#!/bin/sh
here=\$(dirname "\$(readlink -f "\$0")")
exec $llvm/bin/llvm-windres --target=$target --preprocessor="\$here/$target-clang" \\
  --preprocessor-arg=-E --preprocessor-arg=-xc --preprocessor-arg=-DRC_INVOKED \\
  --preprocessor-arg=-Wno-unused-command-line-argument "\$@"
EOF
  chmod +x "$prefix/bin/$target-windres"
}

step_headers() {
  need_sources
  rm -rf "$work/headers"
  mkdir -p "$work/headers"
  (cd "$work/headers" &&
    "$work/src/mingw-w64/mingw-w64-headers/configure" --prefix="$sysroot" --host=$target \
      --with-default-msvcrt=ucrt --with-default-win32-winnt=0x0A00 >configure.log 2>&1 &&
    make install >make.log)
}

step_crt() {
  need_sources
  rm -rf "$work/crt"
  mkdir -p "$work/crt"
  (cd "$work/crt" &&
    "$work/src/mingw-w64/mingw-w64-crt/configure" --prefix="$sysroot" --host=$target \
      --disable-lib32 --disable-lib64 --enable-libarm64 --with-default-msvcrt=ucrt \
      CC="$prefix/bin/$target-clang" CXX="$prefix/bin/$target-clang++" AR="$prefix/bin/$target-ar" \
      RANLIB="$prefix/bin/$target-ranlib" DLLTOOL="$prefix/bin/$target-dlltool" CFLAGS="-g -O2 $no_paths" \
      >configure.log 2>&1 &&
    make -j"$jobs" >make.log 2>&1 &&
    make install >install.log)
}

# What every CMake build of the runtimes shares.
cmake_for_target() {
  cmake -G "Unix Makefiles" -Wno-dev \
    -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_SYSTEM_NAME=Windows \
    -DCMAKE_SYSTEM_PROCESSOR=ARM64 \
    -DCMAKE_C_COMPILER="$prefix/bin/$target-clang" \
    -DCMAKE_CXX_COMPILER="$prefix/bin/$target-clang++" \
    -DCMAKE_C_COMPILER_TARGET=aarch64-w64-windows-gnu \
    -DCMAKE_CXX_COMPILER_TARGET=aarch64-w64-windows-gnu \
    -DCMAKE_C_COMPILER_WORKS=ON \
    -DCMAKE_CXX_COMPILER_WORKS=ON \
    -DCMAKE_AR="$llvm/bin/llvm-ar" \
    -DCMAKE_RANLIB="$llvm/bin/llvm-ranlib" \
    -DCMAKE_FIND_ROOT_PATH="$sysroot" \
    -DCMAKE_FIND_ROOT_PATH_MODE_PROGRAM=NEVER \
    -DCMAKE_FIND_ROOT_PATH_MODE_INCLUDE=ONLY \
    -DCMAKE_FIND_ROOT_PATH_MODE_PACKAGE=ONLY \
    "$@"
}

step_builtins() {
  need_sources
  rm -rf "$work/builtins"
  mkdir -p "$work/builtins"
  (cd "$work/builtins" &&
    cmake_for_target \
      -DCMAKE_INSTALL_PREFIX="$clangres" \
      -DLLVM_ENABLE_PER_TARGET_RUNTIME_DIR=OFF \
      -DCOMPILER_RT_DEFAULT_TARGET_ONLY=ON \
      -DCOMPILER_RT_BUILD_BUILTINS=ON \
      -DCOMPILER_RT_EXCLUDE_ATOMIC_BUILTIN=OFF \
      -DCOMPILER_RT_USE_BUILTINS_LIBRARY=ON \
      -DCMAKE_C_FLAGS_INIT="$no_paths" \
      -DLLVM_CONFIG_PATH= \
      "$work/src/llvm/compiler-rt/lib/builtins" >configure.log 2>&1 &&
    make -j"$jobs" >make.log 2>&1 &&
    make install >install.log)
}

step_cxx() {
  need_sources
  rm -rf "$work/cxx"
  mkdir -p "$work/cxx"
  # Formatting inside the binary (mingw's own printf family) rather than through the system's
  # variadic functions: Debian's arm64 Wine cannot take a Windows va_list (see the README).
  local flags="-D__USE_MINGW_ANSI_STDIO=1 $no_paths"
  (cd "$work/cxx" &&
    cmake_for_target \
      -DCMAKE_INSTALL_PREFIX="$sysroot" \
      -DCMAKE_C_FLAGS_INIT="$flags" \
      -DCMAKE_CXX_FLAGS_INIT="$flags" \
      -DLLVM_PATH="$work/src/llvm/llvm" \
      -DLLVM_ENABLE_RUNTIMES="libunwind;libcxxabi;libcxx" \
      -DLLVM_INCLUDE_TESTS=OFF \
      -DLIBUNWIND_USE_COMPILER_RT=ON \
      -DLIBUNWIND_ENABLE_SHARED=OFF \
      -DLIBUNWIND_ENABLE_STATIC=ON \
      -DLIBCXXABI_USE_COMPILER_RT=ON \
      -DLIBCXXABI_USE_LLVM_UNWINDER=ON \
      -DLIBCXXABI_ENABLE_SHARED=OFF \
      -DLIBCXXABI_ENABLE_STATIC=ON \
      -DLIBCXXABI_HAS_WIN32_THREAD_API=ON \
      -DLIBCXXABI_LIBDIR_SUFFIX= \
      -DLIBCXXABI_INCLUDE_TESTS=OFF \
      -DLIBCXX_USE_COMPILER_RT=ON \
      -DLIBCXX_ENABLE_SHARED=OFF \
      -DLIBCXX_ENABLE_STATIC=ON \
      -DLIBCXX_ENABLE_STATIC_ABI_LIBRARY=ON \
      -DLIBCXX_CXX_ABI=libcxxabi \
      -DLIBCXX_HAS_WIN32_THREAD_API=ON \
      -DLIBCXX_LIBDIR_SUFFIX= \
      -DLIBCXX_INCLUDE_TESTS=OFF \
      -DLIBCXX_INCLUDE_BENCHMARKS=OFF \
      -DLIBCXX_ENABLE_ABI_LINKER_SCRIPT=OFF \
      "$work/src/llvm/runtimes" >configure.log 2>&1 &&
    make -j"$jobs" >make.log 2>&1 &&
    make install >install.log)
}

step_finish() {
  # What the prefix was built from, for a person who looks.
  echo "$versions" >"$prefix/VERSIONS"
  rm -rf "$work"
}

current=
trap 'status=$?; [ $status = 0 ] || [ -z "$current" ] || log "$current failed; its logs are under $work"' EXIT
started=$SECONDS
for current in downloads wrappers headers crt builtins cxx tools finish; do
  run_step "$current"
done
current=
[ $((SECONDS - started)) -lt 2 ] || log "ready in $((SECONDS - started)) s: $prefix ($versions)"
echo "$prefix/bin"
