# Strict warnings for our own targets; third-party headers come in as system headers.
function(kq_strict_warnings target)
  target_compile_options(${target} PRIVATE
    -Wall -Wextra -Wshadow -Woverloaded-virtual -Wold-style-cast -Wdouble-promotion
    -Wnon-virtual-dtor -Wfloat-conversion)
  if(KQ_WERROR)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
  if(KQ_SANITIZE)
    # The sanitizers' instrumentation at -O1 makes GCC's flow analysis report maybe-uninitialized
    # members of standard containers that are initialised; the Release build keeps the warning.
    target_compile_options(${target} PRIVATE -Wno-maybe-uninitialized)
  endif()
endfunction()

# Installs the public headers of one source folder under include/kqbayes/<folder>.
function(kq_install_headers folder)
  file(GLOB headers CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.h)
  install(FILES ${headers} DESTINATION ${KQ_INCLUDE_INSTALL_DIR}/${folder})
endfunction()
