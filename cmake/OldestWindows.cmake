# The shipped programs load on the oldest Windows they address: Windows XP
# SP3 for the 32-bit ones, Windows XP x64 and Server 2003 x64 for the
# co-installer. Their code, and every library of this project they link, is
# compiled against that API level, so a newer function cannot be called by
# mistake (the import check, tools/imports, catches what gets past this).
# Tests, stand-ins and fixtures keep the newer level (cmake/Project.cmake
# sets both).
add_library(rav_oldest_windows_imports OBJECT ${PROJECT_SOURCE_DIR}/common/tick_count64_import.cpp)
target_compile_options(rav_oldest_windows_imports PRIVATE ${RAV_WARNINGS})
set_property(TARGET rav_oldest_windows_imports PROPERTY RAV_OLDEST_WINDOWS ON)

# rav_mark_oldest_windows(target): the target and the project libraries it
# links, directly or not.
function(rav_mark_oldest_windows target)
  get_target_property(done ${target} RAV_OLDEST_WINDOWS)
  if(done)
    return()
  endif()
  get_target_property(imported ${target} IMPORTED)
  get_target_property(type ${target} TYPE)
  if(imported OR type STREQUAL "INTERFACE_LIBRARY")
    return()
  endif()
  set_property(TARGET ${target} PROPERTY RAV_OLDEST_WINDOWS ON)
  get_target_property(links ${target} LINK_LIBRARIES)
  foreach(link IN LISTS links)
    if(TARGET ${link})
      rav_mark_oldest_windows(${link})
    endif()
  endforeach()
endfunction()

# The shipped programs and the test builds of them.
set(RAV_SHIPPED_PROGRAMS launcher ravuninst ravuninst_restartrecorder ravuninst_notexts ravtrace ravcoinst)
foreach(program IN LISTS RAV_SHIPPED_PROGRAMS)
  if(TARGET ${program})
    target_link_libraries(${program} PRIVATE rav_oldest_windows_imports)
    rav_mark_oldest_windows(${program})
  endif()
endforeach()

# The import check: each shipped program of this tree, and those of the
# matching release tree when it has been built.
if(RAV_BUILD_TESTS)
  set(programs)
  foreach(program IN LISTS RAV_SHIPPED_PROGRAMS)
    if(TARGET ${program})
      list(APPEND programs $<TARGET_FILE:${program}>)
    endif()
  endforeach()
  if(programs)
    add_test(NAME ${RAV_TARGET}.imports_oldest_windows
             COMMAND ${PROJECT_SOURCE_DIR}/tools/imports/check.sh ${programs})
    set_tests_properties(${RAV_TARGET}.imports_oldest_windows PROPERTIES LABELS ${RAV_TARGET})
    # The check, and the release that runs it, refuse a program with a newer import.
    list(GET programs 0 clean)
    add_test(NAME ${RAV_TARGET}.imports_newer_refused
             COMMAND ${PROJECT_SOURCE_DIR}/tools/imports/tests/offender_test.sh $<TARGET_FILE:newer_import> ${clean})
    set_tests_properties(${RAV_TARGET}.imports_newer_refused PROPERTIES LABELS ${RAV_TARGET})
  endif()
  add_test(NAME ${RAV_TARGET}.imports_oldest_windows_release
           COMMAND ${PROJECT_SOURCE_DIR}/tools/imports/check-tree.sh
                   ${PROJECT_SOURCE_DIR}/build/release-${RAV_TARGET}/bin)
  set_tests_properties(${RAV_TARGET}.imports_oldest_windows_release PROPERTIES
    LABELS ${RAV_TARGET} SKIP_RETURN_CODE 77)
endif()
