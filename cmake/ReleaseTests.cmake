# Tests of the release itself.
if(NOT RAV_BUILD_TESTS)
  return()
endif()

# The native tree (Linux) checks that the release build is the same bytes
# from two source paths; a few minutes at most.
if(NOT WIN32)
  add_test(NAME ${RAV_TARGET}.reproducible_release
           COMMAND ${PROJECT_SOURCE_DIR}/tools/tests/reproducible_build_test.sh ${PROJECT_SOURCE_DIR})
  set_tests_properties(${RAV_TARGET}.reproducible_release PROPERTIES LABELS "${RAV_TARGET};release" TIMEOUT 900)
  return()
endif()

# Signed copies of this tree's shipped programs: every signature verifies,
# a failed signing leaves nothing signed behind, and the signed programs
# still run under Wine (tools/tests/signed_programs_test.sh).
set(RAV_SIGNED_TEST ${PROJECT_SOURCE_DIR}/tools/tests/signed_programs_test.sh)
add_test(NAME ${RAV_TARGET}.signed_programs COMMAND ${RAV_SIGNED_TEST} sign ${CMAKE_BINARY_DIR}/bin)
set_tests_properties(${RAV_TARGET}.signed_programs PROPERTIES LABELS ${RAV_TARGET} TIMEOUT 300)

add_test(NAME ${RAV_TARGET}.signed_programs_run
         COMMAND ${RAV_SIGNED_TEST} run ${CMAKE_BINARY_DIR}/bin ${RAV_WINE_STATE})
# 77: nothing could run here (32-bit programs on a machine without 32-bit
# support); the test's output says so. The co-installer goes into the
# prefix's system directory, as in coinstaller_test.
set_tests_properties(${RAV_TARGET}.signed_programs_run PROPERTIES
  LABELS ${RAV_TARGET} TIMEOUT 300 SKIP_RETURN_CODE 77 RESOURCE_LOCK ravcoinst-system-file)
rav_wine_test_properties(${RAV_TARGET}.signed_programs_run)

# The shipped lane: the programs `make release` produced (build/release),
# the bytes that ship, through the adapter's life in a 32-bit capable Wine
# prefix (tools/demo.sh --shipped). The 32-bit programs run natively where
# the kernel runs them, else under qemu-user (tools/i386-emulation.sh), at
# about a minute per start: the lane starts first and runs beside the rest.
# Skipped (77), saying why, where they cannot run or no release was built.
if(RAV_TARGET STREQUAL "x86_64")
  get_filename_component(RAV_BUILD_ROOT ${CMAKE_BINARY_DIR} DIRECTORY)
  add_test(NAME shipped.lifecycle COMMAND ${PROJECT_SOURCE_DIR}/tools/demo.sh ${RAV_BUILD_ROOT} --shipped)
  set_tests_properties(shipped.lifecycle PROPERTIES
    LABELS shipped TIMEOUT 3600 COST 100000 SKIP_RETURN_CODE 77)
endif()
