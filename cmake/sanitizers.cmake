if(VISTREL_SANITIZE)
  set(_san_flags -fsanitize=${VISTREL_SANITIZE} -fno-omit-frame-pointer -fno-sanitize-recover=all)
  add_compile_options(${_san_flags})
  add_link_options(${_san_flags})
  if(VISTREL_SANITIZE MATCHES "thread" AND CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
    # GCC warns that the library's own atomic_thread_fence is not instrumented; the code
    # here uses none, and the warning would stop a build with VISTREL_WERROR.
    add_compile_options(-Wno-tsan)
  endif()
endif()
