# Compiler settings shared by every tree.
set(CMAKE_CXX_STANDARD 20)
set(CMAKE_CXX_STANDARD_REQUIRED ON)
set(CMAKE_CXX_EXTENSIONS OFF)
set(CMAKE_C_STANDARD 11)

# All programs of a tree land in one directory, so tests find the programs
# they run beside themselves, on Windows as under Wine.
set(CMAKE_RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)
set(CMAKE_LIBRARY_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)

if(NOT CMAKE_BUILD_TYPE)
  set(CMAKE_BUILD_TYPE RelWithDebInfo)
endif()

set(RAV_WARNINGS -Wall -Wextra -Wformat=2 -Werror=format-security -Werror=format
    -Wno-missing-field-initializers)

if(RAV_TARGET STREQUAL "native")
  set(RAV_SANITIZE -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
  add_compile_options(${RAV_SANITIZE})
  # Checked containers, optional and string_view in the sanitizer build.
  add_compile_definitions(_GLIBCXX_ASSERTIONS)
  add_link_options(${RAV_SANITIZE})
else()
  # Windows 7 API level, except for the shipped programs and their libraries
  # (cmake/OldestWindows.cmake marks them); no UNICODE: every call names its
  # A or W form.
  if(CMAKE_SIZEOF_VOID_P EQUAL 4)
    set(oldest 0x0501)
  else()
    set(oldest 0x0502)
  endif()
  set(level "$<IF:$<BOOL:$<TARGET_PROPERTY:RAV_OLDEST_WINDOWS>>,${oldest},0x0601>")
  add_compile_definitions(_WIN32_WINNT=${level} WINVER=${level} WIN32_LEAN_AND_MEAN NOMINMAX)
  add_link_options(-static -static-libgcc -static-libstdc++)
  # Shipped binaries carry no symbols and no unused code.
  add_compile_options($<$<CONFIG:MinSizeRel>:-ffunction-sections> $<$<CONFIG:MinSizeRel>:-fdata-sections>)
  add_link_options($<$<CONFIG:MinSizeRel>:-s> $<$<CONFIG:MinSizeRel>:-Wl,--gc-sections>)
  # ...and are the same bytes from any checkout, at any path, at any time:
  # no build time in the PE header (the linker's stamp is zero) and no
  # absolute source or build path in the code.
  add_compile_options($<$<AND:$<CONFIG:MinSizeRel>,$<COMPILE_LANGUAGE:C,CXX>>:-ffile-prefix-map=${PROJECT_SOURCE_DIR}=.>
                      $<$<AND:$<CONFIG:MinSizeRel>,$<COMPILE_LANGUAGE:C,CXX>>:-ffile-prefix-map=${PROJECT_BINARY_DIR}=build>)
  add_link_options($<$<CONFIG:MinSizeRel>:-Wl,--no-insert-timestamp>)
endif()

# rav_core_library(name sources...): platform-free code, built in every tree.
function(rav_core_library name)
  add_library(${name} STATIC ${ARGN})
  target_compile_options(${name} PRIVATE ${RAV_WARNINGS})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
endfunction()

# rav_warnings(target): the project's warning set on one of its own targets.
function(rav_warnings target)
  target_compile_options(${target} PRIVATE ${RAV_WARNINGS})
  target_include_directories(${target} PRIVATE ${PROJECT_SOURCE_DIR})
endfunction()
