# Checks what a setup author receives: the Windows ZIP made by CPack, or the
# portable tree made by `cmake --install`. It lists the files the kit must
# hold, builds the guide's C example against the kit as a separate project
# (find_package, and pkg-config for the portable build), and runs it on a
# synthetic host dictionary, which must end as it began with two backups.
#
# cmake -DBUILD_DIR=... -DSOURCE_DIR=... -DWORK=... -DWINDOWS=ON|OFF
#       [-DTOOLCHAIN=...] [-DWINE=...] [-DCPACK=...] [-DKIT_NAME=...] -P check_package.cmake

cmake_policy(VERSION 3.20)
include(${CMAKE_CURRENT_LIST_DIR}/../support/sample_host.cmake)

function(run)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err
                  TIMEOUT 300)
  if(NOT status EQUAL 0)
    list(JOIN ARGN " " command)
    message(FATAL_ERROR "expected status 0 from: ${command}\ngot: ${status}\n${out}\n${err}")
  endif()
  set(run_output "${out}" PARENT_SCOPE)
endfunction()

function(expect_files root)
  foreach(file ${ARGN})
    if(NOT EXISTS "${root}/${file}")
      file(GLOB_RECURSE present RELATIVE "${root}" "${root}/*")
      list(JOIN present "\n  " present)
      message(FATAL_ERROR "expected ${file} under ${root}; it holds:\n  ${present}")
    endif()
  endforeach()
endfunction()

file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}")
set(example "${SOURCE_DIR}/docs/examples/map_set_setup.c")

if(WINDOWS)
  run(${CPACK} --config "${BUILD_DIR}/CPackConfig.cmake" -B "${WORK}/package")
  set(zip "${WORK}/package/${KIT_NAME}.zip")
  if(NOT EXISTS "${zip}")
    message(FATAL_ERROR "expected ${KIT_NAME}.zip in ${WORK}/package")
  endif()
  file(MAKE_DIRECTORY "${WORK}/unpacked")
  run(${CMAKE_COMMAND} -E chdir "${WORK}/unpacked" ${CMAKE_COMMAND} -E tar xf "${zip}")
  set(kit "${WORK}/unpacked/${KIT_NAME}")
  expect_files("${kit}" bin/Dorvan.dll bin/dorvan.exe include/dorvan.h include/Dorvan.nsh lib/Dorvan.lib lib/Dorvan.def
               bin/DorvanSetup.dll include/dorvan_setup.h include/DorvanSetup.iss include/DorvanSetup.wxi
               lib/DorvanSetup.lib doc/examples/map_set_setup.wxs
               lib/DorvanSetup.def
               lib/cmake/dorvan/dorvanConfig.cmake lib/cmake/dorvan/dorvanConfigVersion.cmake
               doc/README.md doc/setup-guide.md doc/registry.md doc/examples/map_set_setup.c
               doc/examples/map_set_setup.nsi doc/examples/map_set_setup.iss)
  set(toolchain -DCMAKE_TOOLCHAIN_FILE=${TOOLCHAIN})
else()
  set(kit "${WORK}/prefix")
  run(${CMAKE_COMMAND} --install "${BUILD_DIR}" --prefix "${kit}")
  expect_files("${kit}" lib/libdorvan.so lib/libdorvan.so.1 bin/dorvan include/dorvan.h include/dorvan_setup.h
               lib/pkgconfig/dorvan.pc lib/cmake/dorvan/dorvanConfig.cmake
               share/doc/dorvan/setup-guide.md share/doc/dorvan/examples/map_set_setup.c)
  set(toolchain)
endif()

# The tool runs from the kit as it lies.
if(WINDOWS)
  run(${WINE} "${kit}/bin/dorvan.exe" --help)
else()
  run("${kit}/bin/dorvan" --help)
endif()

# The example built as a setup author's project would build it.
run(${CMAKE_COMMAND} -S "${SOURCE_DIR}/tests/package/consumer" -B "${WORK}/consumer" ${toolchain}
    -DCMAKE_PREFIX_PATH=${kit} -DDORVAN_EXAMPLE=${example})
run(${CMAKE_COMMAND} --build "${WORK}/consumer")

dorvan_write_sample_host("${WORK}")

if(WINDOWS)
  file(COPY "${kit}/bin/Dorvan.dll" DESTINATION "${WORK}/consumer")
  set(programs "${WORK}/consumer/map_set_setup.exe")
  set(launcher ${WINE})
else()
  # The same example through pkg-config, linked with the plain compiler.
  run(${CMAKE_COMMAND} -E env PKG_CONFIG_PATH=${kit}/lib/pkgconfig pkg-config --cflags --libs dorvan)
  separate_arguments(flags UNIX_COMMAND "${run_output}")
  run(cc "${example}" ${flags} -Wl,-rpath,${kit}/lib -o "${WORK}/map_set_setup_pkgconfig")
  set(programs "${WORK}/consumer/map_set_setup" "${WORK}/map_set_setup_pkgconfig")
  set(launcher)
endif()

file(SHA256 "${WORK}/host/Geodict.dct" before)
foreach(program ${programs})
  file(REMOVE "${WORK}/host/Geodict.000" "${WORK}/host/Geodict.001")
  run(${CMAKE_COMMAND} -E chdir "${WORK}" ${launcher} "${program}" setup host)
  file(SHA256 "${WORK}/host/Geodict.dct" after)
  if(NOT after STREQUAL before)
    message(FATAL_ERROR "expected ${program} to leave the dictionary as it began; it differs")
  endif()
  expect_files("${WORK}/host" Geodict.000 Geodict.001)
endforeach()
file(REMOVE_RECURSE "${WORK}")
