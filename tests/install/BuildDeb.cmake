cmake_minimum_required(VERSION 3.25)
# Makes the Debian package of the build with CPack into OUT and unpacks it
# into OUT/root with dpkg -x, as the package tests read it.
file(REMOVE_RECURSE "${OUT}")
file(MAKE_DIRECTORY "${OUT}")
execute_process(COMMAND "${CPACK}" --config "${BUILD_DIR}/CPackConfig.cmake" -B "${OUT}"
                WORKING_DIRECTORY "${BUILD_DIR}"
                RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "cpack failed:\n${output}")
endif()
file(GLOB debs "${OUT}/*.deb")
list(LENGTH debs count)
if(NOT count EQUAL 1)
  message(FATAL_ERROR "expected one .deb in ${OUT}, found: ${debs}\n${output}")
endif()
file(CREATE_LINK "${debs}" "${OUT}/quorelle.deb" SYMBOLIC)
execute_process(COMMAND dpkg -x "${debs}" "${OUT}/root" RESULT_VARIABLE result ERROR_VARIABLE errors)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "dpkg -x failed: ${errors}")
endif()
message(STATUS "${debs}")
