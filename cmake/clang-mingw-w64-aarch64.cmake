# Cross build for 64-bit Windows on ARM: Debian's clang 19 for aarch64-w64-mingw32, against the
# MinGW-w64 runtime (UCRT) and libc++ that scripts/arm64-toolchain.sh builds from Debian's source
# packages into build/arm64-toolchain/prefix. Programs run under qemu and Debian's arm64 Wine.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR ARM64)

set(ZK_ARM64_TOOLCHAIN "${CMAKE_CURRENT_LIST_DIR}/../build/arm64-toolchain/prefix")
if(NOT EXISTS "${ZK_ARM64_TOOLCHAIN}/bin/aarch64-w64-mingw32-clang++")
  message(FATAL_ERROR "No ARM64 toolchain in ${ZK_ARM64_TOOLCHAIN}: run scripts/arm64-toolchain.sh")
endif()
set(ZK_TARGET aarch64-w64-mingw32)
set(CMAKE_C_COMPILER ${ZK_ARM64_TOOLCHAIN}/bin/${ZK_TARGET}-clang)
set(CMAKE_CXX_COMPILER ${ZK_ARM64_TOOLCHAIN}/bin/${ZK_TARGET}-clang++)
set(CMAKE_RC_COMPILER ${ZK_ARM64_TOOLCHAIN}/bin/${ZK_TARGET}-windres)
set(CMAKE_AR ${ZK_ARM64_TOOLCHAIN}/bin/${ZK_TARGET}-ar)
set(CMAKE_RANLIB ${ZK_ARM64_TOOLCHAIN}/bin/${ZK_TARGET}-ranlib)

set(CMAKE_FIND_ROOT_PATH ${ZK_ARM64_TOOLCHAIN}/sysroot)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# The compiler wrappers name the runtime, unwinder and linker on every call, compiles too.
# MinGW's own printf family inside the binaries: Debian's arm64 Wine cannot take a variadic call
# into its C runtime (harmless on Windows, where the system's would do).
set(ZK_ARM64_FLAGS "-Wno-unused-command-line-argument -D__USE_MINGW_ANSI_STDIO=1")
set(CMAKE_C_FLAGS_INIT "${ZK_ARM64_FLAGS}")
set(CMAKE_CXX_FLAGS_INIT "${ZK_ARM64_FLAGS}")

# Static runtime: the module and the programs depend on system DLLs and the UCRT only.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "-static")
