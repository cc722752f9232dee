# Cross-compiling for 64-bit ARM Linux (Debian's arm64: a Raspberry Pi 3 or later running a 64-bit
# system, arm64 laptops and servers) with Debian's cross compiler, against the arm64 multiarch
# packages (script/bootstrap arm64); the programs it builds run here under qemu-user, with those
# packages' libraries.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR aarch64)
set(CMAKE_C_COMPILER aarch64-linux-gnu-gcc)
set(CMAKE_CXX_COMPILER aarch64-linux-gnu-g++)
set(CMAKE_LIBRARY_ARCHITECTURE aarch64-linux-gnu)
set(CMAKE_CROSSCOMPILING_EMULATOR qemu-aarch64-static)
# The host's x86-64 libraries are not this target's.
set(CMAKE_IGNORE_PATH /usr/lib/x86_64-linux-gnu /lib/x86_64-linux-gnu)
