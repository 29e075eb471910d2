# Warnings are on and kept clean in every build; VISTREL_WERROR makes them errors (CI turns
# it on in every preset it builds).
option(VISTREL_WERROR "Treat compiler warnings as errors" OFF)
if(CMAKE_CXX_COMPILER_ID MATCHES "GNU|Clang")
  add_compile_options(-Wall -Wextra -Wpedantic -Wshadow -Wconversion -Wno-sign-conversion)
  if(VISTREL_WERROR)
    add_compile_options(-Werror)
  endif()
endif()
