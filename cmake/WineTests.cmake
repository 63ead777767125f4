# The Wine session of a cross-built tree: a private prefix inside the build
# tree, one Xvfb display and one persistent wineserver for the whole test
# run, started and stopped by CTest fixtures. Test programs run through
# tools/wine-run.sh, which enters that session.
set(RAV_WINE_STATE ${CMAKE_BINARY_DIR}/wine-session)
set(RAV_WINE_PREFIX ${CMAKE_BINARY_DIR}/wineprefix)
set(CMAKE_CROSSCOMPILING_EMULATOR ${PROJECT_SOURCE_DIR}/tools/wine-run.sh ${RAV_WINE_STATE})

set(RAV_WINE_FIXTURE wine.${RAV_TARGET})
add_test(NAME ${RAV_WINE_FIXTURE}.start
  COMMAND ${PROJECT_SOURCE_DIR}/tools/wine-session.sh start ${RAV_WINE_STATE} ${RAV_WINE_PREFIX}
          $<TARGET_FILE:desktop_keeper>)
set_tests_properties(${RAV_WINE_FIXTURE}.start PROPERTIES
  FIXTURES_SETUP ${RAV_WINE_FIXTURE} LABELS ${RAV_TARGET} TIMEOUT 300)
add_test(NAME ${RAV_WINE_FIXTURE}.stop
  COMMAND ${PROJECT_SOURCE_DIR}/tools/wine-session.sh stop ${RAV_WINE_STATE})
set_tests_properties(${RAV_WINE_FIXTURE}.stop PROPERTIES
  FIXTURES_CLEANUP ${RAV_WINE_FIXTURE} LABELS ${RAV_TARGET})

function(rav_wine_test_properties name)
  set_tests_properties(${name} PROPERTIES FIXTURES_REQUIRED ${RAV_WINE_FIXTURE})
endfunction()
