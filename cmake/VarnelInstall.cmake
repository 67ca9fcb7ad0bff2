# Install rules (`cmake --install <build> --prefix <dir>`), for the layout of
# VarnelLayout.cmake:
#   lib/<multiarch>/libVarnel_64.so*      (32-bit: libVarnel.so*)
#   lib/<multiarch>/varnel/libvarnel-*.so.1
#   lib/<multiarch>/cmake/Varnel/         find_package(Varnel): Varnel::Varnel
#   lib/<multiarch>/pkgconfig/varnel.pc
#   include/varnel/                       Varnel.h and the VISA headers it needs
#   share/doc/varnel/, bin/
include(CMakePackageConfigHelpers)

# The driver's revision gives the version of the library and the packages:
# the two must not drift apart.
file(STRINGS ${PROJECT_SOURCE_DIR}/driver/DriverIdentity.h _varnel_revision_line
  REGEX "kDriverRevision\\[\\] *= *\"[^\"]*\"")
if(_varnel_revision_line MATCHES "\"([^\"]*)\"" AND NOT CMAKE_MATCH_1 STREQUAL PROJECT_VERSION)
  message(FATAL_ERROR "The driver revision ${CMAKE_MATCH_1} (driver/DriverIdentity.h) differs from "
    "the project version ${PROJECT_VERSION} (CMakeLists.txt)")
endif()

# Our outside components, private to the driver: no development link, and no
# libvisa.so on the system's library path.
set(_varnel_private ivisession iviconfig)
if(TARGET visa)
  list(APPEND _varnel_private visa)
endif()
install(TARGETS ${_varnel_private} LIBRARY DESTINATION ${VARNEL_INSTALL_PRIVATEDIR} NAMELINK_SKIP)

install(TARGETS Varnel EXPORT VarnelTargets LIBRARY DESTINATION ${VARNEL_INSTALL_LIBDIR})

set(_varnel_headers ${PROJECT_SOURCE_DIR}/include/Varnel.h)
set(_varnel_pc_cflags "-I\${includedir}")
if(VARNEL_VISA STREQUAL "ours")
  list(APPEND _varnel_headers ${PROJECT_SOURCE_DIR}/platform/include/visatype.h
    ${PROJECT_SOURCE_DIR}/platform/include/visa.h)
  set(VARNEL_CONFIG_VISA_INCLUDE_DIR "")
else()
  # Built against a vendor VISA: its headers are the ones to compile against
  # and its library is found where it lies unless that is a system folder.
  set(VARNEL_CONFIG_VISA_INCLUDE_DIR "${VISA_INCLUDE_DIR}")
  string(APPEND _varnel_pc_cflags " -I${VISA_INCLUDE_DIR}")
  get_filename_component(_varnel_visa_dir "${VISA_LIBRARY}" DIRECTORY)
  if(NOT _varnel_visa_dir IN_LIST CMAKE_C_IMPLICIT_LINK_DIRECTORIES)
    set_property(TARGET Varnel APPEND PROPERTY INSTALL_RPATH "${_varnel_visa_dir}")
  endif()
endif()
install(FILES ${_varnel_headers} DESTINATION ${VARNEL_INSTALL_INCLUDEDIR})

# The CMake package, relocatable: it finds the library relative to itself.
install(EXPORT VarnelTargets NAMESPACE Varnel:: DESTINATION ${VARNEL_INSTALL_CMAKEDIR})
configure_package_config_file(${CMAKE_CURRENT_LIST_DIR}/VarnelConfig.cmake.in
  ${CMAKE_BINARY_DIR}/VarnelConfig.cmake INSTALL_DESTINATION ${VARNEL_INSTALL_CMAKEDIR})
# The version file also refuses a package of the other pointer size.
write_basic_package_version_file(${CMAKE_BINARY_DIR}/VarnelConfigVersion.cmake
  VERSION ${PROJECT_VERSION} COMPATIBILITY SameMajorVersion)
install(FILES ${CMAKE_BINARY_DIR}/VarnelConfig.cmake ${CMAKE_BINARY_DIR}/VarnelConfigVersion.cmake
  DESTINATION ${VARNEL_INSTALL_CMAKEDIR})

# pkg-config, relocatable as well: the prefix is found from the file's folder.
file(RELATIVE_PATH _varnel_pc_up "/root/${VARNEL_INSTALL_PKGCONFIGDIR}" "/root")
string(REGEX REPLACE "/$" "" _varnel_pc_up "${_varnel_pc_up}")
set(VARNEL_PC_PREFIX "\${pcfiledir}/${_varnel_pc_up}")
set(VARNEL_PC_CFLAGS "${_varnel_pc_cflags}")
get_target_property(VARNEL_PC_LIBNAME Varnel OUTPUT_NAME)
configure_file(${CMAKE_CURRENT_LIST_DIR}/varnel.pc.in ${CMAKE_BINARY_DIR}/varnel.pc @ONLY)
install(FILES ${CMAKE_BINARY_DIR}/varnel.pc DESTINATION ${VARNEL_INSTALL_PKGCONFIGDIR})

# Documents, the same files from every build so that a 64-bit and a 32-bit
# package can lie side by side.
file(GLOB _varnel_docs ${PROJECT_SOURCE_DIR}/docs/*.md ${PROJECT_SOURCE_DIR}/docs/*.png)
install(FILES ${PROJECT_SOURCE_DIR}/README.md ${_varnel_docs} ${CMAKE_CURRENT_LIST_DIR}/copyright
  DESTINATION ${VARNEL_INSTALL_DOCDIR})

# Programs: the emulator and every example program, each finding the driver
# (and, should it use them, the private components) from bin/.
if(VARNEL_INSTALL_PROGRAMS)
  set(_varnel_programs)
  if(TARGET varnel-emulator)
    list(APPEND _varnel_programs varnel-emulator)
  endif()
  get_property(_varnel_examples DIRECTORY ${PROJECT_SOURCE_DIR}/examples PROPERTY BUILDSYSTEM_TARGETS)
  foreach(_target IN LISTS _varnel_examples)
    get_target_property(_type ${_target} TYPE)
    if(_type STREQUAL "EXECUTABLE")
      list(APPEND _varnel_programs ${_target})
    endif()
  endforeach()
  file(RELATIVE_PATH _varnel_bin_to_lib "/root/${VARNEL_INSTALL_BINDIR}" "/root/${VARNEL_INSTALL_LIBDIR}")
  foreach(_program IN LISTS _varnel_programs)
    set_target_properties(${_program} PROPERTIES
      INSTALL_RPATH "$ORIGIN/${_varnel_bin_to_lib};$ORIGIN/${_varnel_bin_to_lib}/varnel")
  endforeach()
  if(_varnel_programs)
    install(TARGETS ${_varnel_programs} RUNTIME DESTINATION ${VARNEL_INSTALL_BINDIR})
  endif()
endif()
