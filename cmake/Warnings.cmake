# Warnings for the project's own targets: call ostrel_warnings(target).
function(ostrel_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor
                                           -Wcast-align -Wformat=2 -Wimplicit-fallthrough)
endfunction()
