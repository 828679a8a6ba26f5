# Cross-compiles for 64-bit ARM Linux (arm64) with Debian's g++-aarch64-linux-gnu,
# against Debian's own arm64 libraries (dpkg --add-architecture arm64, then NAME:arm64).
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR aarch64)

set(triplet aarch64-linux-gnu)
set(CMAKE_C_COMPILER ${triplet}-gcc)
set(CMAKE_CXX_COMPILER ${triplet}-g++)
# Debian's multiarch folders: the arm64 libraries sit beside this machine's in
# /usr/lib/aarch64-linux-gnu, and the headers are shared.
set(CMAKE_LIBRARY_ARCHITECTURE ${triplet})
# Else FindGLUT and FindOpenGL may take this machine's own libraries, whose link then
# fails with "file in wrong format".
set(CMAKE_IGNORE_PATH /lib/x86_64-linux-gnu /usr/lib/x86_64-linux-gnu /lib64 /usr/lib64)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
# pkg-config, which FindGLUT asks first, reads the arm64 libraries' .pc files.
set(ENV{PKG_CONFIG_LIBDIR} /usr/lib/${triplet}/pkgconfig:/usr/share/pkgconfig)
