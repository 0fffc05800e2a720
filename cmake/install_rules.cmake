# What `cmake --install` puts in place and what CPack packs: on Windows the
# kit a setup author needs (Dorvan.dll and DorvanSetup.dll, dorvan.exe, the
# C headers, the NSIS, Inno Setup and WiX include files, the import libraries,
# the export definitions and the documentation), in a ZIP; on other
# platforms libdorvan.so with its headers, a pkg-config file and a CMake
# package configuration, so that `find_package(dorvan)` finds it.
include(GNUInstallDirs)
include(CMakePackageConfigHelpers)

set(DORVAN_SUMMARY "Installs and uninstalls the Poland map set in the host's geographic dictionary")

if(WIN32)
  set(DORVAN_LIBRARY_TARGET Dorvan)
  set(DORVAN_DOC_DESTINATION doc)
  # One import library both for mingw-w64 (`-lDorvan` finds Dorvan.lib) and
  # for linkers that expect the .lib name.
  set_target_properties(Dorvan DorvanSetup PROPERTIES IMPORT_PREFIX "" IMPORT_SUFFIX ".lib")
  install(FILES ${DORVAN_DEF_Dorvan} ${DORVAN_DEF_DorvanSetup} DESTINATION ${CMAKE_INSTALL_LIBDIR})
  # The unattended library, for setups that may run silently.
  set_target_properties(DorvanSetup PROPERTIES EXPORT_NAME setup PUBLIC_HEADER include/dorvan_setup.h)
  target_include_directories(DorvanSetup INTERFACE
    $<BUILD_INTERFACE:${CMAKE_SOURCE_DIR}/include>
    $<INSTALL_INTERFACE:${CMAKE_INSTALL_INCLUDEDIR}>)
  install(TARGETS DorvanSetup EXPORT dorvanTargets
    RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR}
    ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR}
    PUBLIC_HEADER DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})
  # The NSIS, Inno Setup and WiX include files, beside the C headers.
  install(FILES include/Dorvan.nsh include/DorvanSetup.iss include/DorvanSetup.wxi
          DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})
else()
  set(DORVAN_LIBRARY_TARGET dorvan)
  set(DORVAN_DOC_DESTINATION ${CMAKE_INSTALL_DOCDIR})
  set_target_properties(dorvan PROPERTIES VERSION ${PROJECT_VERSION} SOVERSION ${PROJECT_VERSION_MAJOR})
  # The pkg-config file finds the prefix from its own place, so that the
  # tree can be installed anywhere (`cmake --install --prefix`, the archive).
  file(RELATIVE_PATH DORVAN_PC_TO_PREFIX /${CMAKE_INSTALL_LIBDIR}/pkgconfig /)
  string(REGEX REPLACE "/$" "" DORVAN_PC_TO_PREFIX "${DORVAN_PC_TO_PREFIX}")
  # The installed tool finds the library beside it, wherever the tree lies.
  set_target_properties(dorvan_cli PROPERTIES INSTALL_RPATH "$ORIGIN/../${CMAKE_INSTALL_LIBDIR}")
  configure_file(cmake/dorvan.pc.in dorvan.pc @ONLY)
  install(FILES ${CMAKE_BINARY_DIR}/dorvan.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)
  # The unattended functions live in the same library here.
  install(FILES include/dorvan_setup.h DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})
endif()

set_target_properties(${DORVAN_LIBRARY_TARGET} PROPERTIES EXPORT_NAME dorvan PUBLIC_HEADER include/dorvan.h)
target_include_directories(${DORVAN_LIBRARY_TARGET} INTERFACE
  $<BUILD_INTERFACE:${CMAKE_SOURCE_DIR}/include>
  $<INSTALL_INTERFACE:${CMAKE_INSTALL_INCLUDEDIR}>)

install(TARGETS ${DORVAN_LIBRARY_TARGET} EXPORT dorvanTargets
  RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR}
  LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
  ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR}
  PUBLIC_HEADER DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})
install(TARGETS dorvan_cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

set(DORVAN_PACKAGE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/dorvan)
install(EXPORT dorvanTargets NAMESPACE dorvan:: DESTINATION ${DORVAN_PACKAGE_DIR})
configure_package_config_file(cmake/dorvanConfig.cmake.in dorvanConfig.cmake
  INSTALL_DESTINATION ${DORVAN_PACKAGE_DIR})
write_basic_package_version_file(dorvanConfigVersion.cmake COMPATIBILITY SameMajorVersion)
install(FILES ${CMAKE_BINARY_DIR}/dorvanConfig.cmake ${CMAKE_BINARY_DIR}/dorvanConfigVersion.cmake
  DESTINATION ${DORVAN_PACKAGE_DIR})

install(FILES README.md docs/setup-guide.md docs/registry.md DESTINATION ${DORVAN_DOC_DESTINATION})
install(DIRECTORY docs/examples DESTINATION ${DORVAN_DOC_DESTINATION})

set(CPACK_PACKAGE_NAME ${PROJECT_NAME})
set(CPACK_PACKAGE_VENDOR "Dorvan")
# The kit carries no debugging information; the build tree keeps it.
set(CPACK_STRIP_FILES TRUE)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY ${DORVAN_SUMMARY})
if(WIN32)
  set(CPACK_GENERATOR ZIP)
  if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    set(DORVAN_KIT_NAME "Dorvan-${PROJECT_VERSION}-win64")
  else()
    set(DORVAN_KIT_NAME "Dorvan-${PROJECT_VERSION}-win32")
  endif()
  set(CPACK_PACKAGE_FILE_NAME ${DORVAN_KIT_NAME})
else()
  set(CPACK_GENERATOR TGZ)
  set(CPACK_PACKAGE_FILE_NAME "dorvan-${PROJECT_VERSION}-${CMAKE_SYSTEM_NAME}-${CMAKE_SYSTEM_PROCESSOR}")
endif()
include(CPack)
