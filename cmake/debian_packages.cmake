# Debian packages from the build: `cpack -G DEB` in a build folder makes one package per
# component. The console program with its udev rule and manual page (vistrel), the windowed
# program with its desktop entry, icons and metainfo (vistrel-dimming), the dimming signals'
# console front end (vistrel-dimming-cli), and the simulator on
# its own (vistrel-sim), a test tool that a production bench does not need. Their Depends come
# from the shared libraries the programs use, as dpkg-shlibdeps finds them.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME vistrel)
set(CPACK_PACKAGE_VENDOR "Vistrel")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "Vistrel host software <host-software@vistrel.example>")
set(CPACK_PACKAGE_HOMEPAGE_URL "https://vistrel.example/")
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_COMPONENTS_ALL console simulator)
if(VISTREL_DIMMING)
  list(APPEND CPACK_COMPONENTS_ALL dimming-cli)
endif()
if(VISTREL_DIMMING AND VISTREL_DIMMING_UI)
  list(APPEND CPACK_COMPONENTS_ALL dimming)
endif()

set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
# Folders as Debian has them (0755), whatever the umask of the build.
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

set(CPACK_DEBIAN_CONSOLE_PACKAGE_NAME vistrel)
set(CPACK_DEBIAN_CONSOLE_PACKAGE_SECTION electronics)
set(CPACK_COMPONENT_CONSOLE_DESCRIPTION
    "console program for the Vistrel display interface box
vistrel talks to a Vistrel automotive display interface box over its USB
serial port: it lists the device ports, prints the system information, and
lists, uploads, downloads and resets the eight EDID user profiles.

The package also holds a udev rule that gives the logged-in user access to
the device's port and keeps ModemManager away from it.")

set(CPACK_DEBIAN_DIMMING_PACKAGE_NAME vistrel-dimming)
set(CPACK_DEBIAN_DIMMING_PACKAGE_SECTION electronics)
set(CPACK_COMPONENT_DIMMING_DESCRIPTION
    "windowed program for the dimming signals of the Vistrel box
VistrelDimming reads and sets the six dimming signals that a Vistrel
automotive display interface box simulates towards a screen, with four
presets, over the box's USB serial port.")

# A rack without a desktop wants the dimming signals without Qt Widgets: the console front end
# of the dimming signals is a package of its own.
set(CPACK_DEBIAN_DIMMING-CLI_PACKAGE_NAME vistrel-dimming-cli)
set(CPACK_DEBIAN_DIMMING-CLI_PACKAGE_SECTION electronics)
set(CPACK_COMPONENT_DIMMING-CLI_DESCRIPTION
    "dimming signals of the Vistrel box from a shell script
vistrel-dimming reads and sets the six dimming signals that a Vistrel
automotive display interface box simulates towards a screen, and sends the
four presets of the windowed program, from the command line: the same
exchanges as VistrelDimming, with exact output and exit statuses for scripts
and test racks without a display.")

set(CPACK_DEBIAN_SIMULATOR_PACKAGE_NAME vistrel-sim)
set(CPACK_DEBIAN_SIMULATOR_PACKAGE_SECTION devel)
set(CPACK_COMPONENT_SIMULATOR_DESCRIPTION
    "simulator of the Vistrel display interface box
vistrel-sim stands in for a Vistrel box on a pseudo-terminal and answers as
the device does, with fault rules for silence, delays, split replies, errors
and hang-ups, so that scripts and programs can be tried without hardware.")

include(CPack)
