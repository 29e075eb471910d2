# Cross-build for 64-bit Windows with Debian's mingw-w64 (POSIX thread model, for std::thread).
#
#   cmake --preset windows        (or: -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-mingw-w64.cmake)
#
# Programs are linked statically (C and C++ runtimes, winpthread), so the .exe runs without
# extra DLLs. Boost.Asio and Boost.System are header-only and come from the host's Boost
# headers: only the boost/ folder is exposed to the cross compiler, never the rest of
# /usr/include, whose C headers belong to the host's C library.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(VISTREL_MINGW_TRIPLET x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${VISTREL_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${VISTREL_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${VISTREL_MINGW_TRIPLET}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${VISTREL_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

# The host's Boost headers, seen through a folder that holds nothing but a link to them.
set(VISTREL_HOST_BOOST_HEADERS /usr/include/boost CACHE PATH "The host's Boost header folder")
set(_vistrel_boost_stage ${CMAKE_BINARY_DIR}/mingw-boost-include)
if(NOT EXISTS ${_vistrel_boost_stage}/boost)
  file(MAKE_DIRECTORY ${_vistrel_boost_stage})
  file(CREATE_LINK ${VISTREL_HOST_BOOST_HEADERS} ${_vistrel_boost_stage}/boost SYMBOLIC)
endif()
set(Boost_INCLUDE_DIR ${_vistrel_boost_stage} CACHE PATH "Boost headers for the cross build")
set(Boost_NO_BOOST_CMAKE ON CACHE BOOL "Use FindBoost with the staged headers")
set(Boost_NO_SYSTEM_PATHS ON CACHE BOOL "Never search the host's library folders")

# Windows 10 API level: Asio asks for one, and the SetupAPI calls need Vista or later.
set(CMAKE_C_FLAGS_INIT "-D_WIN32_WINNT=0x0A00")
set(CMAKE_CXX_FLAGS_INIT "-D_WIN32_WINNT=0x0A00")
