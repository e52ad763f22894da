# The network lab as a ctest fixture. Any tests/ or bench/ folder can
#   include(${PROJECT_SOURCE_DIR}/tests/lab/LabFixture.cmake)
# and then give its lab tests the properties in OSTREL_LAB_TEST_PROPERTIES:
#   gtest_discover_tests(my_tests DISCOVERY_MODE PRE_TEST PROPERTIES ${OSTREL_LAB_TEST_PROPERTIES})
#   set_tests_properties(my_test PROPERTIES ${OSTREL_LAB_TEST_PROPERTIES})
# A test then finds the lab's description at $OSTREL_LAB_INFO (see README.md).
#
# The prefix is derived from the build folder, so the suites of two build
# folders (release, sanitize) never share or collide on a lab.
string(MD5 _ostrel_lab_hash "${CMAKE_BINARY_DIR}")
string(SUBSTRING "${_ostrel_lab_hash}" 0 6 _ostrel_lab_hash)
set(OSTREL_LAB_PREFIX "l${_ostrel_lab_hash}")
set(OSTREL_LAB_INFO "/run/ostrel-lab-${OSTREL_LAB_PREFIX}/info.json")
set(OSTREL_LAB_TEST_PROPERTIES
    LABELS lab
    FIXTURES_REQUIRED lab
    RESOURCE_LOCK lab
    ENVIRONMENT "OSTREL_LAB_INFO=${OSTREL_LAB_INFO}")
