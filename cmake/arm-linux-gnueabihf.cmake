# Cross-compiling for 32-bit ARM Linux with a hardware FPU (Debian's armhf: the 32-bit Raspberry Pi
# OS on a Raspberry Pi 2 or later, and other ARMv7 boards) with Debian's cross compiler, against the
# armhf multiarch packages (script/bootstrap armhf); the programs it builds run here under
# qemu-user, with those packages' libraries.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR arm)
set(CMAKE_C_COMPILER arm-linux-gnueabihf-gcc)
set(CMAKE_CXX_COMPILER arm-linux-gnueabihf-g++)
set(CMAKE_LIBRARY_ARCHITECTURE arm-linux-gnueabihf)
set(CMAKE_CROSSCOMPILING_EMULATOR qemu-arm-static)
# The host's x86-64 libraries are not this target's.
set(CMAKE_IGNORE_PATH /usr/lib/x86_64-linux-gnu /lib/x86_64-linux-gnu)
