# GoogleTest, built in every tree from Debian's googletest sources.
if(NOT RAV_BUILD_TESTS)
  function(rav_test)
  endfunction()
  function(rav_locale_test)
  endfunction()
  function(rav_test_dependencies)
  endfunction()
  return()
endif()

# rav_test_dependencies(test programs...): programs a test runs, built first.
function(rav_test_dependencies test)
  add_dependencies(${test} ${ARGN})
endfunction()
set(RAV_GOOGLETEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest source tree")
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
add_subdirectory(${RAV_GOOGLETEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)

enable_testing()

# rav_test(name sources... LIBS libs...): a GoogleTest program run as one test.
# Under Wine it joins the tree's Wine session (see WineTests.cmake).
# LOCKS names the machine-wide state the test writes (a registry key, say):
# CTest never runs two tests holding the same lock at once, and the test's
# locale runs (rav_locale_test) hold its locks too.
function(rav_test name)
  cmake_parse_arguments(T "" "" "LIBS;LABELS;LOCKS" ${ARGN})
  add_executable(${name} ${T_UNPARSED_ARGUMENTS})
  rav_warnings(${name})
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gmock GTest::gtest_main)
  # Named after the tree too: the same core test runs natively and under Wine.
  # Suites named *InLocale run only in their own locale (rav_locale_test).
  add_test(NAME ${RAV_TARGET}.${name} COMMAND ${name} --gtest_filter=-*InLocale.*)
  set_tests_properties(${RAV_TARGET}.${name} PROPERTIES LABELS "${RAV_TARGET};${T_LABELS}" TIMEOUT 600)
  set_target_properties(${name} PROPERTIES RAV_TEST_LOCKS "${T_LOCKS}")
  if(T_LOCKS)
    set_tests_properties(${RAV_TARGET}.${name} PROPERTIES RESOURCE_LOCK "${T_LOCKS}")
  endif()
  if(WIN32)
    rav_wine_test_properties(${RAV_TARGET}.${name})
  endif()
endfunction()

# rav_locale_test(program suite locale): runs the tests of one suite of a
# program once more with the Linux locale that makes Wine's user language
# (LC_ALL=de_DE.UTF-8 gives German, 0x0407). Wine takes the language from
# the environment the wine process starts with, so it is a test of its own.
function(rav_locale_test program suite locale)
  set(name ${RAV_TARGET}.${program}.${suite})
  if(NOT suite MATCHES "InLocale$")
    message(FATAL_ERROR "locale suites are named *InLocale: ${suite}")
  endif()
  add_test(NAME ${name} COMMAND ${program} --gtest_filter=${suite}.*)
  get_target_property(locks ${program} RAV_TEST_LOCKS)
  set_tests_properties(${name} PROPERTIES
    ENVIRONMENT "LC_ALL=${locale}"
    LABELS "${RAV_TARGET};locale" TIMEOUT 600
    # Starting Wine in another locale moves the user's location with it.
    RESOURCE_LOCK "wine-locale;${locks}")
  if(WIN32)
    rav_wine_test_properties(${name})
  endif()
endfunction()
