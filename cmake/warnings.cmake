# boxquake_set_warnings(target): the project's warning set, applied per target.
function(boxquake_set_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra)
  if(BOXQUAKE_WERROR)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
endfunction()
