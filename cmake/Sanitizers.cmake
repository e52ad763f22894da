# With OSTREL_SANITIZE every target is built with ASan and UBSan, and any
# UBSan finding aborts the process so that the test fails.
if(OSTREL_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=undefined
                      -fno-omit-frame-pointer -g)
  add_link_options(-fsanitize=address,undefined)
endif()
