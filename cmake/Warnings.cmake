# One place that sets the warnings of every target.
function(qv_set_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra)
  if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
    # GCC 12 reports false -Wrestrict overlaps inside std::string's operator+
    # when it inlines it (GCC bug 105651); the standard library code is correct.
    target_compile_options(${target} PRIVATE -Wno-restrict)
  endif()
  if(QV_WERROR)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
endfunction()
