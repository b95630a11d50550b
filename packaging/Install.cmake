# Installing Frostline, in two layouts from one build, with the same launcher
# (assets/desktop/frostline.in), menu entry, icon, manual page and AppStream file:
#
# - `cmake --install` into any prefix: bin/frostline (the launcher),
#   libexec/frostline/frostline (the game), share/frostline/ (its data and
#   options.ini), share/applications/, share/icons/, share/man/man6/ and
#   share/metainfo/.
# - the Debian package (component "debian", installed only by CPack through the
#   frostline_package target): as Debian's policy places games, the launcher
#   /usr/games/frostline and the data in /usr/share/games/frostline/; the game
#   itself is a private program (it only runs in the folder its launcher
#   prepares), kept off PATH in /usr/libexec/frostline/ as the FHS 3.0 that
#   the policy follows wants (lintian flags programs in /usr/lib/games). The
#   window size is /etc/frostline/options.ini, a conffile.
include(GNUInstallDirs)

# Where the project lives on the web and who answers for the package. Both are
# placeholders in a reserved domain until the project has its own.
set(FROSTLINE_WEBSITE "https://frostline.invalid" CACHE STRING
    "The project's web address: the AppStream homepage and where its screenshot is published")
set(FROSTLINE_MAINTAINER "Frostline developers <developers@frostline.invalid>" CACHE STRING
    "The Debian package's maintainer, name and mail address")
# The AppStream component, the reverse of the website's name.
set(FROSTLINE_APPSTREAM_ID invalid.frostline.Frostline)
# The screenshot the AppStream file shows, drawn from the level by the asset
# viewer; the package carries it in its documentation folder.
set(FROSTLINE_SCREENSHOT_NAME frostline-start.png)

# What the game reads from its working folder besides options.ini: the launcher
# links every entry of the installed data folder, so a new folder only goes here.
set(FROSTLINE_DATA_FOLDERS Shader models sounds)

set(FROSTLINE_PACKAGING_DIR ${CMAKE_BINARY_DIR}/packaging)
file(MAKE_DIRECTORY ${FROSTLINE_PACKAGING_DIR})
file(CREATE_LINK models ${FROSTLINE_PACKAGING_DIR}/Models SYMBOLIC)
configure_file(${CMAKE_SOURCE_DIR}/assets/desktop/frostline.metainfo.xml.in
               ${FROSTLINE_PACKAGING_DIR}/${FROSTLINE_APPSTREAM_ID}.metainfo.xml @ONLY)

# frostline_install_layout(<component> LAUNCHER <dir> GAME <dir> DATA <dir>
#     OPTIONS <file> OPTIONS_SOURCE <file> MAN_PAGE <file> [EXCLUDE_FROM_ALL])
# Configures the launcher and the manual page for one layout (into
# packaging/<component>/) and installs the game in it. Relative paths are below
# the prefix; OPTIONS may be absolute. MAN_PAGE is the page to install (the
# configured packaging/<component>/frostline.6 or a file made from it).
function(frostline_install_layout component)
  cmake_parse_arguments(PARSE_ARGV 1 arg "EXCLUDE_FROM_ALL" "LAUNCHER;GAME;DATA;OPTIONS;OPTIONS_SOURCE;MAN_PAGE" "")
  set(rules COMPONENT ${component})
  if(arg_EXCLUDE_FROM_ALL)
    list(APPEND rules EXCLUDE_FROM_ALL)
  endif()
  set(out ${FROSTLINE_PACKAGING_DIR}/${component})

  # The launcher finds the game and its data relative to its own folder's parent.
  set(LAUNCHER_DATA ${arg_DATA})
  set(LAUNCHER_BINARY ${arg_GAME}/frostline)
  set(LAUNCHER_OPTIONS ${arg_OPTIONS})
  configure_file(${CMAKE_SOURCE_DIR}/assets/desktop/frostline.in ${out}/frostline @ONLY)
  # The manual page names the files of this layout: the package's under /usr
  # (its options.ini is in /etc), cmake --install's below a prefix chosen when
  # installing.
  if(IS_ABSOLUTE ${arg_OPTIONS})
    set(MAN_SYSTEM_OPTIONS ${arg_OPTIONS})
    set(MAN_SYSTEM_OPTIONS_NOTE ".")
    set(MAN_DATA_FOLDER /usr/${arg_DATA})
  else()
    set(MAN_SYSTEM_OPTIONS "prefix/${arg_OPTIONS}")
    set(MAN_SYSTEM_OPTIONS_NOTE ", below the prefix it was installed into (for example /usr/local).")
    set(MAN_DATA_FOLDER "prefix/${arg_DATA}")
  endif()
  configure_file(${CMAKE_SOURCE_DIR}/assets/desktop/frostline.6.in ${out}/frostline.6 @ONLY)

  install(TARGETS frostline RUNTIME DESTINATION ${arg_GAME} ${rules})
  install(PROGRAMS ${out}/frostline DESTINATION ${arg_LAUNCHER} ${rules})
  foreach(folder ${FROSTLINE_DATA_FOLDERS})
    install(DIRECTORY ${FROSTLINE_RUNTIME_DIR}/${folder} DESTINATION ${arg_DATA} ${rules})
  endforeach()
  install(FILES ${FROSTLINE_PACKAGING_DIR}/Models DESTINATION ${arg_DATA} ${rules})
  get_filename_component(options_folder ${arg_OPTIONS} DIRECTORY)
  install(FILES ${arg_OPTIONS_SOURCE} DESTINATION ${options_folder} RENAME options.ini ${rules})
  install(FILES ${CMAKE_SOURCE_DIR}/assets/desktop/frostline.desktop
          DESTINATION ${CMAKE_INSTALL_DATADIR}/applications ${rules})
  install(FILES ${CMAKE_SOURCE_DIR}/assets/desktop/frostline.svg
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps ${rules})
  install(FILES ${FROSTLINE_PACKAGING_DIR}/${FROSTLINE_APPSTREAM_ID}.metainfo.xml
          DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo ${rules})
  install(FILES ${arg_MAN_PAGE} DESTINATION ${CMAKE_INSTALL_MANDIR}/man6 ${rules})
endfunction()

# --- cmake --install: a relocatable tree under any prefix -------------------------
# The window size installed is the build's own runtime/options.ini.
frostline_install_layout(prefix
  LAUNCHER ${CMAKE_INSTALL_BINDIR}
  GAME ${CMAKE_INSTALL_LIBEXECDIR}/frostline
  DATA ${CMAKE_INSTALL_DATADIR}/frostline
  OPTIONS ${CMAKE_INSTALL_DATADIR}/frostline/options.ini
  OPTIONS_SOURCE ${FROSTLINE_RUNTIME_DIR}/options.ini
  MAN_PAGE ${FROSTLINE_PACKAGING_DIR}/prefix/frostline.6)

include(${CMAKE_CURRENT_LIST_DIR}/Package.cmake)
