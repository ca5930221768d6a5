# Toolchain for the 32-bit x86 build on a 64-bit Debian machine (see scripts/setup-m32.sh):
#   cmake -S . -B build-m32 -DCMAKE_TOOLCHAIN_FILE=cmake/i386-linux-gnu.cmake \
#         -DTROBZ_I386_DEV=<dir given to setup-m32.sh>
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(CMAKE_C_COMPILER gcc)
set(CMAKE_CXX_COMPILER g++)
set(CMAKE_C_FLAGS_INIT "-m32")
set(CMAKE_CXX_FLAGS_INIT "-m32")
set(CMAKE_EXE_LINKER_FLAGS_INIT "-m32")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-m32")
set(CMAKE_LIBRARY_ARCHITECTURE i386-linux-gnu)
# the build runs its own tools and tests: this machine runs i386 programs natively
set(CMAKE_CROSSCOMPILING_EMULATOR "")

# pkg-config sees only i386 files: the unpacked SDL development files, then multiarch's
if(TROBZ_I386_DEV)
    set(ENV{TROBZ_I386_DEV} "${TROBZ_I386_DEV}")
endif()
set(ENV{PKG_CONFIG_LIBDIR}
    "$ENV{TROBZ_I386_DEV}/usr/lib/i386-linux-gnu/pkgconfig:/usr/lib/i386-linux-gnu/pkgconfig:/usr/share/pkgconfig")
set(ENV{PKG_CONFIG_PATH} "")
