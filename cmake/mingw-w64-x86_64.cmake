# Cross-builds for 64-bit Windows with Debian's mingw-w64 (posix thread model,
# which std::thread and std::mutex need).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(VANTOR_MINGW_PREFIX x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${VANTOR_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${VANTOR_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${VANTOR_MINGW_PREFIX}-windres)

# Packages come from the sysroot in the build folder (GoogleTest, zlib and
# nlohmann-json built or copied for this target) and the compiler's own folder,
# never from the host's /usr.
if(NOT VANTOR_MINGW_SYSROOT)
  set(VANTOR_MINGW_SYSROOT ${CMAKE_BINARY_DIR}/sysroot)
endif()
set(CMAKE_FIND_ROOT_PATH ${VANTOR_MINGW_SYSROOT} /usr/${VANTOR_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# The programs use the compiler's run-time DLLs, which the build copies beside
# them (see VantorRuntime in the top CMakeLists.txt).
set(VANTOR_MINGW_RUNTIME_DLLS libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll)
