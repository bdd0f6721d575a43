# Compiler and linker settings shared by every target of the project.
# The updater speaks the ANSI Win32 API: UNICODE is never defined.
add_library(project_options INTERFACE)
target_compile_definitions(project_options INTERFACE
  WINVER=0x0601 _WIN32_WINNT=0x0601 WIN32_LEAN_AND_MEAN NOMINMAX _CRT_SECURE_NO_WARNINGS)
target_compile_options(project_options INTERFACE
  $<$<COMPILE_LANGUAGE:C,CXX>:-Wall -Wextra>
  $<$<AND:$<BOOL:${WARNINGS_AS_ERRORS}>,$<COMPILE_LANGUAGE:C,CXX>>:-Werror>)
# Static linking: the executables run on a bare Windows without MinGW DLLs.
target_link_options(project_options INTERFACE -static -static-libgcc -static-libstdc++)
target_include_directories(project_options INTERFACE ${PROJECT_SOURCE_DIR}/src)

# Adds a static library of the sources found in the given folder (recursively),
# leaving out the sources below any folder named after EXCLUDE (a layer of its own).
function(add_subsystem_library name folder)
  cmake_parse_arguments(L "" "" "EXCLUDE" ${ARGN})
  file(GLOB_RECURSE sources CONFIGURE_DEPENDS ${folder}/*.cpp)
  list(FILTER sources EXCLUDE REGEX "/main\\.cpp$")
  foreach(sub IN LISTS L_EXCLUDE)
    list(FILTER sources EXCLUDE REGEX "^${folder}/${sub}/")
  endforeach()
  if(NOT sources)
    return()
  endif()
  add_library(${name} STATIC ${sources})
  target_link_libraries(${name} PUBLIC project_options)
endfunction()
