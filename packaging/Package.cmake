# The Debian package: `make package`, or `cpack -G DEB` in the build folder.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME qvd-pc)
set(CPACK_PACKAGE_VENDOR "QVD-PC")
set(CPACK_PACKAGE_CONTACT "QVD-PC maintainers <maintainers@qvdpc.de>")
set(CPACK_PACKAGE_HOMEPAGE_URL "https://qvdpc.de/")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
# Directories 0755 whatever the umask of the one who builds.
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The first line is the synopsis; CPack indents the rest and turns empty
# lines into paragraph breaks.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "service tool for slot machine game modules on the QVD adapter
QVD-PC talks over a serial port to the QVD module, the adapter box that
holds the game module of a German slot machine (program EPROM,
battery-buffered RAM, real-time clock). It finds the adapter on COM1 to
COM16, identifies the module and shows the adapter's diagnostics.

It backs up the module's RAM to a file verified by checksum, writes such
a file back, clears and compares the RAM, reads the EPROM, splits and
joins 16-bit EPROM images, shows hex views, reads and writes single RAM
cells, and reads and sets the module's clock. The window speaks German.

The package also holds qvd-sim, a virtual adapter on a pseudo-terminal
for trying the program without hardware.")

include(CPack)
