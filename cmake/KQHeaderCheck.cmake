# Every header compiles on its own: one generated source per header, each including only it,
# built as the object library kq_header_check (with the strict warnings of our code).
function(kq_add_header_check)
  set(sources "")
  foreach(folder companion frame frame/detail kernels kernels/detail onesample onesample/detail twosample
                 twosample/detail correlation correlation/detail cli cli/csv cli/records)
    file(GLOB headers RELATIVE ${PROJECT_SOURCE_DIR} CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/${folder}/*.h)
    foreach(header ${headers})
      string(MAKE_C_IDENTIFIER ${header} name)
      set(source ${CMAKE_BINARY_DIR}/header_check/${name}.cpp)
      file(CONFIGURE OUTPUT ${source} CONTENT "#include \"${header}\"\n")
      list(APPEND sources ${source})
    endforeach()
  endforeach()
  add_library(kq_header_check OBJECT EXCLUDE_FROM_ALL ${sources})
  target_link_libraries(kq_header_check PRIVATE kqcli)
  kq_strict_warnings(kq_header_check)
endfunction()
