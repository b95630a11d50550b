# The Debian package: frostline_<version>_<arch>.deb in build/package/, made by
# CPack's DEB generator when the frostline_package target is built (never by the
# ordinary build). dpkg-shlibdeps computes the dependencies from the game's
# shared libraries.
set(FROSTLINE_DEBIAN_DIR ${FROSTLINE_PACKAGING_DIR}/debian)
set(FROSTLINE_DEBIAN_SOURCE_DIR ${CMAKE_CURRENT_LIST_DIR}/debian)

# The release date as a changelog writes it ("Tue, 08 Dec 2026 12:00:00 +0000").
execute_process(COMMAND date -u -R -d "${FROSTLINE_RELEASE_DATE} 12:00 UTC"
                OUTPUT_VARIABLE FROSTLINE_RELEASE_DATE_RFC2822 OUTPUT_STRIP_TRAILING_WHITESPACE
                COMMAND_ERROR_IS_FATAL ANY)
configure_file(${FROSTLINE_DEBIAN_SOURCE_DIR}/changelog.in ${FROSTLINE_DEBIAN_DIR}/changelog @ONLY)

# Compressed as Debian wants them: gzip -9, without a name or a time stamp.
set(FROSTLINE_DEBIAN_MADE)
foreach(file debian/frostline.6 debian/changelog)
  set(gzipped ${FROSTLINE_PACKAGING_DIR}/${file}.gz)
  add_custom_command(OUTPUT ${gzipped}
    COMMAND sh -c "gzip -9n -c \"$1\" > \"$2\"" gzip ${FROSTLINE_PACKAGING_DIR}/${file} ${gzipped}
    DEPENDS ${FROSTLINE_PACKAGING_DIR}/${file} VERBATIM)
  list(APPEND FROSTLINE_DEBIAN_MADE ${gzipped})
endforeach()

# The screenshot: the level in software from behind the sled at the start, the
# first gate and the billboard down the slope.
set(FROSTLINE_SCREENSHOT ${FROSTLINE_DEBIAN_DIR}/${FROSTLINE_SCREENSHOT_NAME})
add_custom_command(OUTPUT ${FROSTLINE_SCREENSHOT}
  COMMAND frostline_assetview level ${FROSTLINE_SCREENSHOT} -78 153.2 96.5 -30 138 88
  DEPENDS frostline_assetview ${CMAKE_BINARY_DIR}/assets.stamp
  WORKING_DIRECTORY ${FROSTLINE_RUNTIME_DIR}
  COMMENT "Drawing the screenshot of the package" VERBATIM)
list(APPEND FROSTLINE_DEBIAN_MADE ${FROSTLINE_SCREENSHOT})

frostline_install_layout(debian EXCLUDE_FROM_ALL
  LAUNCHER games
  GAME libexec/frostline
  DATA share/games/frostline
  OPTIONS /etc/frostline/options.ini
  OPTIONS_SOURCE ${FROSTLINE_DEBIAN_SOURCE_DIR}/options.ini
  MAN_PAGE ${FROSTLINE_DEBIAN_DIR}/frostline.6.gz)
install(FILES ${FROSTLINE_DEBIAN_SOURCE_DIR}/copyright ${FROSTLINE_DEBIAN_DIR}/changelog.gz ${FROSTLINE_SCREENSHOT}
        DESTINATION share/doc/frostline COMPONENT debian EXCLUDE_FROM_ALL)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME frostline)
set(CPACK_PACKAGE_VENDOR "The Frostline developers")
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/package)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_COMPONENTS_ALL debian)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_GROUPING ALL_COMPONENTS_IN_ONE)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_NAME frostline)
set(CPACK_DEBIAN_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${FROSTLINE_MAINTAINER})
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE ${FROSTLINE_WEBSITE})
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${FROSTLINE_DEBIAN_SOURCE_DIR}/conffiles)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "downhill sledding race through five gates against the clock")
# CPack puts the summary first; this is the extended description after it.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Ride a sled down a snowy mountain and pass the five numbered gates in their
order before the clock runs out: the race starts with 10 seconds and every
gate adds 10 more. Snowflakes are worth points, a cow gives a speed boost.
.
Played full screen with the keyboard or a gamepad; needs OpenGL 3.3.")
include(CPack)
# CPack's install step would first build every target (tests and benchmarks
# too); frostline_package names what the package needs instead.
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY ON)

add_custom_target(frostline_package
  COMMAND ${CMAKE_CPACK_COMMAND} --config ${CMAKE_BINARY_DIR}/CPackConfig.cmake
  DEPENDS ${FROSTLINE_DEBIAN_MADE}
  WORKING_DIRECTORY ${CMAKE_BINARY_DIR}
  COMMENT "Building the Debian package into ${CPACK_PACKAGE_DIRECTORY}" VERBATIM)
add_dependencies(frostline_package frostline frostline_shaders frostline_assets)
