# Compiler flags shared by every target of the project.

# Designated initializers that name only some fields are intended here.
set(TWINLY_WARNING_FLAGS -Wall -Wextra -Wno-missing-field-initializers)
if(TWINLY_WERROR)
  list(APPEND TWINLY_WARNING_FLAGS -Werror)
  # gcc 12 at -O3 flags string concatenation ("a" + std::to_string(i)) with
  # false overlap and overflow reports (gcc bugs 105329, 105651); they stay
  # warnings there so an optimised build with -Werror still builds.
  if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
    list(APPEND TWINLY_WARNING_FLAGS
         "$<$<CONFIG:Release>:-Wno-error=restrict;-Wno-error=stringop-overflow>")
  endif()
endif()

if(TWINLY_SANITIZE)
  if(TWINLY_SANITIZE MATCHES "thread")
    set(_san_flags -fsanitize=thread)
  else()
    set(_san_flags -fsanitize=${TWINLY_SANITIZE} -fno-sanitize-recover=all)
  endif()
  add_compile_options(${_san_flags} -fno-omit-frame-pointer)
  add_link_options(${_san_flags})
endif()

# The fuzz build instruments every target for coverage and memory errors; only
# the fuzz targets themselves link libFuzzer's driver.
if(TWINLY_FUZZ)
  if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
    message(FATAL_ERROR "TWINLY_FUZZ needs clang (CC=clang CXX=clang++)")
  endif()
  add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=all
                      -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
endif()

# Applies the project's warning set to one of our own targets.
function(twinly_target_defaults target)
  target_compile_options(${target} PRIVATE ${TWINLY_WARNING_FLAGS})
endfunction()
