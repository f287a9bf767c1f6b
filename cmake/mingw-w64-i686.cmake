# 32-bit Windows (i686): the release's exe, tested under the WoW64 Wine of the Debian unstable chroot.
set(CMAKE_SYSTEM_PROCESSOR i686)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
