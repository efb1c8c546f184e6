# Warning set shared by every target of the project; the build must stay free of warnings.
add_library(vexa_warnings INTERFACE)
target_compile_options(vexa_warnings INTERFACE
  -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor -Wcast-align
  -Woverloaded-virtual -Wnull-dereference -Wimplicit-fallthrough)
if(VEXA_WERROR)
  target_compile_options(vexa_warnings INTERFACE -Werror)
endif()

# vexa_library(<name> SOURCES <files> LIBS <targets>)
# A static library with the warnings and the src/ include root. A library that has no
# .cpp yet becomes an interface target, so dependants can already name it.
function(vexa_library name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  set(cpp ${ARG_SOURCES})
  list(FILTER cpp INCLUDE REGEX "\\.cpp$")
  if(cpp)
    add_library(${name} STATIC ${ARG_SOURCES})
    target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
    target_link_libraries(${name} PUBLIC ${ARG_LIBS} PRIVATE vexa_warnings)
  else()
    add_library(${name} INTERFACE)
    target_include_directories(${name} INTERFACE ${PROJECT_SOURCE_DIR}/src)
    target_link_libraries(${name} INTERFACE ${ARG_LIBS})
  endif()
endfunction()
