# GoogleTest, built in every tree from Debian's googletest sources.
set(RAV_GOOGLETEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest source tree")
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
add_subdirectory(${RAV_GOOGLETEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)

enable_testing()

# rav_test(name sources... LIBS libs...): a GoogleTest program run as one test.
# Under Wine it joins the tree's Wine session (see WineTests.cmake).
function(rav_test name)
  cmake_parse_arguments(T "" "" "LIBS;LABELS" ${ARGN})
  add_executable(${name} ${T_UNPARSED_ARGUMENTS})
  rav_warnings(${name})
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gmock GTest::gtest_main)
  # Named after the tree too: the same core test runs natively and under Wine.
  add_test(NAME ${RAV_TARGET}.${name} COMMAND ${name})
  set_tests_properties(${RAV_TARGET}.${name} PROPERTIES LABELS "${RAV_TARGET};${T_LABELS}" TIMEOUT 600)
  if(WIN32)
    rav_wine_test_properties(${RAV_TARGET}.${name})
  endif()
endfunction()
