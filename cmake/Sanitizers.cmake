# OSTREL_SANITIZE=ON builds every target with ASan and UBSan, and any UBSan
# finding aborts the process so that the test fails. OSTREL_SANITIZE=thread
# builds every target with TSan instead; the thread suite (the tests labelled
# "threads", built by the target thread_tests) runs under it.
string(TOLOWER "${OSTREL_SANITIZE}" _ostrel_sanitize)
if(_ostrel_sanitize STREQUAL "thread")
  add_compile_options(-fsanitize=thread -fno-omit-frame-pointer -g)
  add_link_options(-fsanitize=thread)
elseif(_ostrel_sanitize MATCHES "^(on|yes|true|y|1)$")
  add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=undefined
                      -fno-omit-frame-pointer -g)
  add_link_options(-fsanitize=address,undefined)
elseif(NOT _ostrel_sanitize MATCHES "^(off|no|false|n|0|)$")
  message(FATAL_ERROR "OSTREL_SANITIZE is ON, OFF or thread, not \"${OSTREL_SANITIZE}\"")
endif()

# The tests that start threads, labelled "threads" for the thread suite:
#   ostrel_thread_tests(target REGEX [LABEL...])
# after gtest_discover_tests(target ...): the discovered tests of `target`
# whose names match REGEX get the labels LABEL... (their own, such as lab)
# and threads, and the target joins thread_tests, so the thread suite builds
# only what it runs. The names are known only when ctest runs (PRE_TEST
# discovery), so the labels are set then, by a file ctest includes after
# the discovered tests.
add_custom_target(thread_tests)
function(ostrel_thread_tests target regex)
  add_dependencies(thread_tests ${target})
  set(labels ${ARGN} threads)
  set(file "${CMAKE_CURRENT_BINARY_DIR}/${target}_threads.cmake")
  file(WRITE "${file}"
       "foreach(test IN LISTS ${target}_TESTS)\n"
       "  if(test MATCHES [==[${regex}]==])\n"
       "    set_tests_properties(\"\${test}\" PROPERTIES LABELS [==[${labels}]==])\n"
       "  endif()\n"
       "endforeach()\n")
  set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES "${file}")
endfunction()
