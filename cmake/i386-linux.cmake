# Cross-compiling for i386 Linux with the host's multilib gcc against the
# project's i386 sysroot (created by scripts/bootstrap). Programs built here
# run through scripts/run-i386.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR i686)

get_filename_component(KQ_SOURCE_ROOT "${CMAKE_CURRENT_LIST_DIR}/.." ABSOLUTE)
if(DEFINED ENV{KQ_SYSROOT})
    set(KQ_SYSROOT_DEFAULT "$ENV{KQ_SYSROOT}")
else()
    set(KQ_SYSROOT_DEFAULT "${KQ_SOURCE_ROOT}/.cache/sysroot-i386")
endif()
set(KQ_SYSROOT "${KQ_SYSROOT_DEFAULT}" CACHE PATH "i386 sysroot")
if(NOT EXISTS "${KQ_SYSROOT}/.kq-complete")
    message(FATAL_ERROR "no complete i386 sysroot at ${KQ_SYSROOT}: run scripts/bootstrap")
endif()

set(CMAKE_SYSROOT "${KQ_SYSROOT}")
set(CMAKE_C_COMPILER gcc)
set(CMAKE_CXX_COMPILER g++)
set(CMAKE_ASM_COMPILER gcc)
set(CMAKE_C_FLAGS_INIT "-m32")
set(CMAKE_CXX_FLAGS_INIT "-m32")
set(CMAKE_ASM_FLAGS_INIT "-m32")
set(CMAKE_EXE_LINKER_FLAGS_INIT "-m32")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-m32")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "-m32")
set(CMAKE_LIBRARY_ARCHITECTURE i386-linux-gnu)

# Every i386 program (tests, benchmarks, the calculator) runs through the launcher.
set(CMAKE_CROSSCOMPILING_EMULATOR "${KQ_SOURCE_ROOT}/scripts/run-i386")

# pkg-config answers from the sysroot only.
set(ENV{PKG_CONFIG_SYSROOT_DIR} "${KQ_SYSROOT}")
set(ENV{PKG_CONFIG_LIBDIR}
    "${KQ_SYSROOT}/usr/lib/i386-linux-gnu/pkgconfig:${KQ_SYSROOT}/usr/share/pkgconfig")
set(ENV{PKG_CONFIG_PATH} "")

set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
