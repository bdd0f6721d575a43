# Third-party code, built from Debian's sources with the cross compiler.
# scripts/fetch-sources.sh puts the source packages into .cache/sources.
set(THIRD_PARTY_SOURCES ${PROJECT_SOURCE_DIR}/.cache/sources CACHE PATH
    "Folder with the unpacked Debian source packages")

set(TINYXML_DIR ${THIRD_PARTY_SOURCES}/tinyxml)
if(NOT EXISTS ${TINYXML_DIR}/tinyxml.cpp)
  message(FATAL_ERROR "TinyXML sources missing in ${TINYXML_DIR}: run scripts/setup.sh")
endif()
add_library(tinyxml STATIC
  ${TINYXML_DIR}/tinyxml.cpp ${TINYXML_DIR}/tinystr.cpp
  ${TINYXML_DIR}/tinyxmlerror.cpp ${TINYXML_DIR}/tinyxmlparser.cpp)
target_compile_definitions(tinyxml PUBLIC TIXML_USE_STL)
target_include_directories(tinyxml SYSTEM PUBLIC ${TINYXML_DIR})
target_compile_options(tinyxml PRIVATE -w)
