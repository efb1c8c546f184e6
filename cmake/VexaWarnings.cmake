# Warning set shared by every target of the project; the build must stay free of warnings.
add_library(vexa_warnings INTERFACE)
target_compile_options(vexa_warnings INTERFACE
  -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor -Wcast-align
  -Woverloaded-virtual -Wnull-dereference -Wimplicit-fallthrough)
if(VEXA_WERROR)
  target_compile_options(vexa_warnings INTERFACE -Werror)
endif()
# Libraries declare their own sources; this attaches the warnings and the src/ include root.
function(vexa_library name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_library(${name} STATIC ${ARG_SOURCES})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
  target_link_libraries(${name} PUBLIC ${ARG_LIBS} PRIVATE vexa_warnings)
endfunction()
