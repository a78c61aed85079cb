# vaciallena_program(NAME [WINDOWED] [WIDE_MAIN] SOURCE...): an executable of
# the project, made the one way every program here is.
#   WINDOWED   a window and no console: the Windows GUI subsystem
#   WIDE_MAIN  on Windows it starts at wmain or wWinMain, which receive the
#              command line in UTF-16 whatever the code page
# With MinGW a program is linked static, so that it imports nothing but
# Windows' own DLLs; the static libraries bring their debugging sections
# along, more than the program's own code, so a release leaves them out.
# The warnings every target is built with are in warnings.cmake.
function(vaciallena_program name)
  cmake_parse_arguments(PARSE_ARGV 1 program "WINDOWED;WIDE_MAIN" "" "")
  add_executable(${name} ${program_UNPARSED_ARGUMENTS})
  if(program_WINDOWED)
    set_target_properties(${name} PROPERTIES WIN32_EXECUTABLE ON)
  endif()
  if(MINGW)
    target_link_options(${name} PRIVATE -static $<$<CONFIG:Release,MinSizeRel>:-s>)
    if(program_WIDE_MAIN)
      target_link_options(${name} PRIVATE -municode)
    endif()
  endif()
endfunction()
