# One place that sets the warnings of every target.
function(qv_set_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra)
  if(QV_WERROR)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
endfunction()
