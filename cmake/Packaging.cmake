# Installation and the Debian packages.
#
#   cmake --install <build> [--prefix DIR] [--component product|simulator]
#   cmake --build <build> --target package     (the two .deb files, in <build>)
#
# Component "product": the window program, the command line, the desktop
# entry, the icon at the hicolor sizes, the AppStream metainfo and their man
# pages. Component "simulator": the recorder simulator and the network lab
# script, which an end user does not need.
#
# Everything installed is found through the prefix alone; no installed file
# refers to the source or build folders.
if(OSTREL_FUZZ OR NOT TARGET ostrel-nvr-search OR NOT TARGET ostrel-nvr OR NOT TARGET ostrel-nvr-sim)
  message(STATUS "packaging: skipped (needs ostrel-nvr-search, ostrel-nvr and ostrel-nvr-sim)")
  return()
endif()

include(GNUInstallDirs)

set(OSTREL_APP_ID "net.ostrel.NvrSearch")
set(OSTREL_PACKAGE_NAME "ostrel-nvr-search")
set(OSTREL_SIM_PACKAGE_NAME "ostrel-nvr-sim")
set(OSTREL_MAINTAINER "Ostrel Packaging <packaging@ostrel.net>")
set(OSTREL_ICON_SIZES 16 32 48 64 128 256)
set(_pkg_src ${PROJECT_SOURCE_DIR}/packaging)
set(_pkg_out ${PROJECT_BINARY_DIR}/packaging)

# The icon as PNG files, drawn by the code that draws the program's own icon.
add_executable(ostrel-iconpng ${_pkg_src}/icon_png_main.cpp
                              ${PROJECT_SOURCE_DIR}/res/generator/draw_parts.cpp)
target_include_directories(ostrel-iconpng PRIVATE ${PROJECT_SOURCE_DIR}/res/generator)
target_link_libraries(ostrel-iconpng PRIVATE Qt6::Gui)
ostrel_plain_target(ostrel-iconpng)
ostrel_warnings(ostrel-iconpng)

set(_icon_files)
foreach(size IN LISTS OSTREL_ICON_SIZES)
  list(APPEND _icon_files ${_pkg_out}/icons/${size}x${size}/apps/${OSTREL_APP_ID}.png)
endforeach()
add_custom_command(
  OUTPUT ${_icon_files}
  COMMAND ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen ASAN_OPTIONS=detect_leaks=0
          $<TARGET_FILE:ostrel-iconpng> ${_pkg_out}/icons ${OSTREL_APP_ID} ${OSTREL_ICON_SIZES}
  DEPENDS ostrel-iconpng
  COMMENT "Drawing the icon for the icon theme"
  VERBATIM)

# Man pages and changelogs carry the version and are installed compressed
# (gzip -n: no name or time stamp, so the result is reproducible).
set(OSTREL_RELEASE_DATE "2026-12-08")
set(OSTREL_CHANGELOG_DATE "Tue, 08 Dec 2026 00:00:00 +0000")
set(OSTREL_MAN_DATE "December 2026")
configure_file(${_pkg_src}/${OSTREL_APP_ID}.metainfo.xml
               ${_pkg_out}/${OSTREL_APP_ID}.metainfo.xml @ONLY)
set(_gz_files)
macro(_ostrel_gzip input output)
  add_custom_command(
    OUTPUT ${output}
    COMMAND gzip -9 -n -c ${input} > ${output}
    DEPENDS ${input}
    VERBATIM)
  list(APPEND _gz_files ${output})
endmacro()
foreach(page ostrel-nvr-search ostrel-nvr ostrel-nvr-sim)
  configure_file(${_pkg_src}/man/${page}.1 ${_pkg_out}/man/${page}.1 @ONLY)
  _ostrel_gzip(${_pkg_out}/man/${page}.1 ${_pkg_out}/man/${page}.1.gz)
endforeach()
foreach(package ${OSTREL_PACKAGE_NAME} ${OSTREL_SIM_PACKAGE_NAME})
  set(OSTREL_CHANGELOG_PACKAGE ${package})
  configure_file(${_pkg_src}/changelog.in ${_pkg_out}/doc/${package}/changelog @ONLY)
  _ostrel_gzip(${_pkg_out}/doc/${package}/changelog ${_pkg_out}/doc/${package}/changelog.gz)
endforeach()
file(CREATE_LINK ostrel-nvr-sim.1.gz ${_pkg_out}/man/ostrel-nvr-lab.1.gz SYMBOLIC)
add_custom_target(ostrel_install_data ALL DEPENDS ${_icon_files} ${_gz_files})

# --- product ---------------------------------------------------------------
install(TARGETS ostrel-nvr-search ostrel-nvr RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR}
        COMPONENT product)
install(FILES ${_pkg_src}/${OSTREL_APP_ID}.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications COMPONENT product)
install(FILES ${_pkg_out}/${OSTREL_APP_ID}.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo COMPONENT product)
install(DIRECTORY ${_pkg_out}/icons/ DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor
        COMPONENT product)
install(FILES ${_pkg_out}/man/ostrel-nvr-search.1.gz ${_pkg_out}/man/ostrel-nvr.1.gz
        DESTINATION ${CMAKE_INSTALL_MANDIR}/man1 COMPONENT product)
install(FILES ${_pkg_src}/completion/ostrel-nvr
        DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions COMPONENT product)
install(FILES ${_pkg_src}/copyright ${_pkg_out}/doc/${OSTREL_PACKAGE_NAME}/changelog.gz
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/${OSTREL_PACKAGE_NAME} COMPONENT product)

# --- simulator and lab -----------------------------------------------------
install(TARGETS ostrel-nvr-sim RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT simulator)
install(PROGRAMS ${PROJECT_SOURCE_DIR}/scripts/lab DESTINATION ${CMAKE_INSTALL_BINDIR}
        RENAME ostrel-nvr-lab COMPONENT simulator)
install(FILES ${PROJECT_SOURCE_DIR}/scripts/lab.json
        DESTINATION ${CMAKE_INSTALL_DATADIR}/ostrel-nvr-sim COMPONENT simulator)
install(FILES ${_pkg_out}/man/ostrel-nvr-sim.1.gz ${_pkg_out}/man/ostrel-nvr-lab.1.gz
        DESTINATION ${CMAKE_INSTALL_MANDIR}/man1 COMPONENT simulator)
install(FILES ${_pkg_src}/copyright ${_pkg_out}/doc/${OSTREL_SIM_PACKAGE_NAME}/changelog.gz
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/${OSTREL_SIM_PACKAGE_NAME} COMPONENT simulator)

# --- the Debian packages ---------------------------------------------------
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME ${OSTREL_PACKAGE_NAME})
set(CPACK_PACKAGE_VENDOR "Ostrel")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT ${OSTREL_MAINTAINER})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(CPACK_PACKAGE_DIRECTORY ${PROJECT_BINARY_DIR}/deb)
set(CPACK_COMPONENTS_ALL product simulator)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${OSTREL_MAINTAINER})
set(CPACK_DEBIAN_PACKAGE_SECTION net)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://www.ostrel.net/")
# Library dependencies come from the binaries (dpkg-shlibdeps); the rest are
# what the programs call or load at run time.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS OFF)

set(CPACK_DEBIAN_PRODUCT_PACKAGE_NAME ${OSTREL_PACKAGE_NAME})
# The dialogs' fonts (Arial's metric twin and the Tahoma stand-in), and
# xdg-open for the web console. Mounting volumes through the desktop's file
# services needs gio and its SMB backend, which the program does without.
set(CPACK_DEBIAN_PRODUCT_PACKAGE_DEPENDS "fonts-liberation, fonts-wine, xdg-utils")
set(CPACK_DEBIAN_PRODUCT_PACKAGE_RECOMMENDS "gvfs-backends, libglib2.0-bin")
set(CPACK_DEBIAN_PRODUCT_PACKAGE_SUGGESTS ${OSTREL_SIM_PACKAGE_NAME})
set(CPACK_DEBIAN_PRODUCT_PACKAGE_SECTION net)
set(CPACK_COMPONENT_PRODUCT_DISPLAY_NAME "Ostrel NVR Search Utility")
# One string each: the first line is the synopsis, the rest the long
# description (a blank line becomes " ." in the control file).
set(CPACK_COMPONENT_PRODUCT_DESCRIPTION "find network video recorders and set them up
Ostrel NVR Search Utility finds the Ostrel network video recorders on the
local networks and sets them up: it lists each recorder with its address,
switches it to DHCP or gives it a static address, opens its web console
and maps its shared volumes as network drives.

This package holds the desktop program and its command-line twin,
ostrel-nvr. Neither needs administrator rights.")

set(CPACK_DEBIAN_SIMULATOR_PACKAGE_NAME ${OSTREL_SIM_PACKAGE_NAME})
set(CPACK_DEBIAN_SIMULATOR_PACKAGE_DEPENDS "iproute2")
# The lab serves each recorder's volumes with smbd under nss_wrapper.
set(CPACK_DEBIAN_SIMULATOR_PACKAGE_RECOMMENDS "samba, libnss-wrapper")
set(CPACK_DEBIAN_SIMULATOR_PACKAGE_SUGGESTS ${OSTREL_PACKAGE_NAME})
set(CPACK_DEBIAN_SIMULATOR_PACKAGE_SECTION net)
set(CPACK_COMPONENT_SIMULATOR_DISPLAY_NAME "Ostrel recorder simulator")
set(CPACK_COMPONENT_SIMULATOR_DESCRIPTION "simulated network video recorders for trying out ostrel-nvr-search
ostrel-nvr-sim answers the discovery and device requests of simulated
Ostrel recorders on real sockets, and ostrel-nvr-lab builds a network
lab of network namespaces around them, so that the search utility can
be tried and tested without real recorders. The lab needs root.")

# Immediate binding with a read-only relocation table for the installed
# programs, as Debian builds them.
foreach(program ostrel-nvr-search ostrel-nvr ostrel-nvr-sim)
  target_link_options(${program} PRIVATE -Wl,-z,relro -Wl,-z,now)
endforeach()

include(CPack)
