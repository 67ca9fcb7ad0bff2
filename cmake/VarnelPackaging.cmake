# Debian package of one build tree (CPack, DEB generator; scripts/package):
# varnel_<version>_amd64.deb from the 64-bit tree, varnel_<version>_i386.deb
# from the 32-bit tree. It holds what `cmake --install` puts under /usr.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME varnel)
set(CPACK_PACKAGE_VENDOR Pellucor)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "Pellucor Varnel maintainers <varnel@pellucor.invalid>" CACHE STRING
  "Maintainer of the Debian package")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
  "IVI-C driver for the QVX M1 to QVX M4 programmable DC electronic loads")
set(CPACK_PACKAGE_DESCRIPTION
"Varnel is an IVI-C instrument driver for the QVX family of programmable DC
electronic loads. A test program opens a session on one load, sets it up,
runs its dynamic modes, sequences and sweeps, measures, and closes the session;
every exported function begins with Varnel_.

The package holds the driver library, its own VISA (TCP sockets), IVI session
and IVI configuration store components in a private folder of the driver, the
C header, a CMake package (find_package(Varnel)) and a pkg-config file.")
set(CPACK_DEBIAN_PACKAGE_SECTION libs)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  set(CPACK_DEBIAN_PACKAGE_ARCHITECTURE amd64)
else()
  set(CPACK_DEBIAN_PACKAGE_ARCHITECTURE i386)
endif()
# Depends from the libraries the package's files link (pugixml, libstdc++, libc).
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
include(CPack)
