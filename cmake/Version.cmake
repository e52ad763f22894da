# The product's one version number: the project() version. Every program's
# --version and the about box read it from the generated header
# ostrel_version.h, so a release changes it in one place.
set(OSTREL_VERSION "${PROJECT_VERSION}")
configure_file(${CMAKE_CURRENT_LIST_DIR}/ostrel_version.h.in
               ${PROJECT_BINARY_DIR}/version/ostrel_version.h @ONLY)
include_directories(${PROJECT_BINARY_DIR}/version)
