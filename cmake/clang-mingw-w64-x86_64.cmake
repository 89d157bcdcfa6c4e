# The same cross build for 64-bit Windows with clang instead of GCC: Debian's clang for the target
# x86_64-w64-mingw32, against the MinGW-w64 headers and libraries and the MinGW GCC's libstdc++.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(ZK_TARGET x86_64-w64-mingw32)
set(CMAKE_C_COMPILER clang)
set(CMAKE_C_COMPILER_TARGET ${ZK_TARGET})
set(CMAKE_CXX_COMPILER clang++)
set(CMAKE_CXX_COMPILER_TARGET ${ZK_TARGET})
set(CMAKE_RC_COMPILER ${ZK_TARGET}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${ZK_TARGET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# clang finds the MinGW GCC's folder by its version number, and Debian names it "12-posix", which
# clang does not take for one: libstdc++'s headers and the GCC runtime libraries are named here.
execute_process(COMMAND ${ZK_TARGET}-g++-posix -print-libgcc-file-name
                OUTPUT_VARIABLE ZK_LIBGCC OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
get_filename_component(ZK_GCC_DIR "${ZK_LIBGCC}" DIRECTORY)
set(CMAKE_CXX_FLAGS_INIT
    "-isystem ${ZK_GCC_DIR}/include/c++ -isystem ${ZK_GCC_DIR}/include/c++/${ZK_TARGET} -isystem ${ZK_GCC_DIR}/include/c++/backward")

# Static runtime, as with GCC. -pthread: the posix-thread GCC runtime needs winpthread, which the
# GCC driver adds by itself and clang's adds only when asked.
set(ZK_LINK_FLAGS "-static -pthread -L${ZK_GCC_DIR}")
set(CMAKE_EXE_LINKER_FLAGS_INIT "${ZK_LINK_FLAGS}")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "${ZK_LINK_FLAGS}")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "${ZK_LINK_FLAGS}")
