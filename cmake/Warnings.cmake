# Warnings for the project's own targets: call ostrel_warnings(target).
# With OSTREL_WERROR every warning they give is an error (scripts/test
# builds that way).
option(OSTREL_WERROR "Treat warnings in the project's own targets as errors" OFF)

function(ostrel_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor
                                           -Wcast-align -Wformat=2 -Wimplicit-fallthrough)
  if(OSTREL_WERROR)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
endfunction()
