# Where things go, in the build tree and in the install tree alike: the driver
# in lib/ (installed: lib/<multiarch>/), our outside components in the
# driver's private folder varnel/ beside it, found through the driver's
# RUNPATH $ORIGIN/varnel. A 64-bit and a 32-bit install share one prefix.
include(GNUInstallDirs)

if(CMAKE_LIBRARY_ARCHITECTURE)
  set(_varnel_multiarch ${CMAKE_LIBRARY_ARCHITECTURE})
elseif(CMAKE_SIZEOF_VOID_P EQUAL 8)
  set(_varnel_multiarch x86_64-linux-gnu)
else()
  set(_varnel_multiarch i386-linux-gnu)
endif()
set(VARNEL_INSTALL_LIBDIR "lib/${_varnel_multiarch}" CACHE STRING
  "Folder of the driver library, relative to the install prefix")
set(VARNEL_INSTALL_PRIVATEDIR "${VARNEL_INSTALL_LIBDIR}/varnel")
set(VARNEL_INSTALL_INCLUDEDIR "${CMAKE_INSTALL_INCLUDEDIR}/varnel")
set(VARNEL_INSTALL_CMAKEDIR "${VARNEL_INSTALL_LIBDIR}/cmake/Varnel")
set(VARNEL_INSTALL_PKGCONFIGDIR "${VARNEL_INSTALL_LIBDIR}/pkgconfig")
set(VARNEL_INSTALL_DOCDIR "${CMAKE_INSTALL_DATAROOTDIR}/doc/varnel")
set(VARNEL_INSTALL_BINDIR "${CMAKE_INSTALL_BINDIR}")
set(VARNEL_PRIVATE_OUTPUT_DIRECTORY "${CMAKE_BINARY_DIR}/lib/varnel")

# Programs in bin/ of one prefix can only be of one architecture: by default
# the 64-bit build installs them and the 32-bit build installs libraries only.
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  set(_varnel_programs_default ON)
else()
  set(_varnel_programs_default OFF)
endif()
option(VARNEL_INSTALL_PROGRAMS "Install the emulator and the example programs into bin/"
  ${_varnel_programs_default})

# One of our outside components: its own file name and SONAME
# (lib<name>.so.1), so that the loader never takes a vendor's library for it
# or it for a vendor's, built into the driver's private folder.
function(varnel_private_library target name)
  set_target_properties(${target} PROPERTIES
    OUTPUT_NAME ${name}
    SOVERSION 1
    LIBRARY_OUTPUT_DIRECTORY ${VARNEL_PRIVATE_OUTPUT_DIRECTORY}
    INSTALL_RPATH "$ORIGIN")
endfunction()
