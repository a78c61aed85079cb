# Cross build for 64-bit Windows with clang, against the same MinGW-w64
# headers and libraries as the g++ build: it catches what g++ lets through.
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)

# Debian's clang does not recognise the MinGW g++ folder (named like 12-posix,
# not a bare version), so it is told where g++'s C++ library lives.
execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-libgcc-file-name
  OUTPUT_VARIABLE mingw_libgcc OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
cmake_path(GET mingw_libgcc PARENT_PATH mingw_gcc_dir)

set(CMAKE_C_COMPILER clang)
set(CMAKE_C_COMPILER_TARGET x86_64-w64-mingw32)
set(CMAKE_CXX_COMPILER clang++)
set(CMAKE_CXX_COMPILER_TARGET x86_64-w64-mingw32)
# The MinGW binutils, as in the g++ build, not whichever LLVM tools happen to
# be installed.
set(CMAKE_AR x86_64-w64-mingw32-ar)
set(CMAKE_RANLIB x86_64-w64-mingw32-ranlib)
# g++ predefines this for MinGW-w64 and its C++ library is built so: without
# it clang defines type_info's equality inline too, and linking finds it twice.
set(CMAKE_CXX_FLAGS_INIT "-D__GXX_TYPEINFO_EQUALITY_INLINE=0 -isystem ${mingw_gcc_dir}/include/c++ -isystem ${mingw_gcc_dir}/include/c++/x86_64-w64-mingw32 -isystem ${mingw_gcc_dir}/include/c++/backward")
# The C++ library uses winpthreads, which clang does not link by itself.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-L${mingw_gcc_dir} -pthread")
