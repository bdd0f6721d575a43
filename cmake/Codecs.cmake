# Compression libraries for the two decompressor programs, compiled straight
# from the library sources of Debian's source packages (.cache/sources) with
# the cross compiler: static, single-threaded, no command-line programs.

# zstd: the general compressor (".Kelz").
set(ZSTD_LIB_DIR ${THIRD_PARTY_SOURCES}/zstd/lib)
if(NOT EXISTS ${ZSTD_LIB_DIR}/zstd.h)
  message(FATAL_ERROR "zstd sources missing in ${ZSTD_LIB_DIR}: run scripts/setup.sh")
endif()
file(GLOB zstd_sources ${ZSTD_LIB_DIR}/common/*.c ${ZSTD_LIB_DIR}/compress/*.c
     ${ZSTD_LIB_DIR}/decompress/*.c)
add_library(zstd_static STATIC EXCLUDE_FROM_ALL ${zstd_sources})
# The hand-written decoder assembly is ELF-only; MinGW uses the C fallback.
target_compile_definitions(zstd_static PRIVATE ZSTD_DISABLE_ASM)
target_include_directories(zstd_static SYSTEM PUBLIC ${ZSTD_LIB_DIR})
target_compile_options(zstd_static PRIVATE -w -O2)

# libFLAC: the sound compressor (".Kelw"), without Ogg.
set(FLAC_DIR ${THIRD_PARTY_SOURCES}/flac)
if(NOT EXISTS ${FLAC_DIR}/src/libFLAC/stream_decoder.c)
  message(FATAL_ERROR "FLAC sources missing in ${FLAC_DIR}: run scripts/setup.sh")
endif()
file(GLOB flac_sources ${FLAC_DIR}/src/libFLAC/*.c)
list(FILTER flac_sources EXCLUDE REGEX "/ogg_[a-z_]+\\.c$")
list(APPEND flac_sources ${FLAC_DIR}/src/share/win_utf8_io/win_utf8_io.c)
# The configure step of the package would write this header; these are its
# answers for x86-64 Windows with GCC.
set(FLAC_CONFIG_DIR ${CMAKE_BINARY_DIR}/flac_config)
file(WRITE ${FLAC_CONFIG_DIR}/config.h.in [=[
#define CPU_IS_BIG_ENDIAN 0
#define WORDS_BIGENDIAN 0
#define ENABLE_64_BIT_WORDS 1
#define FLAC__HAS_OGG 0
#define FLAC__HAS_X86INTRIN 1
#define FLAC__HAS_NEONINTRIN 0
#define FLAC__HAS_A64NEONINTRIN 0
#define FLAC__ALIGN_MALLOC_DATA 1
#define FLAC__USE_AVX 1
#define HAVE_LROUND 1
#define HAVE_STDINT_H 1
#define HAVE_INTTYPES_H 1
#define HAVE_STDLIB_H 1
#define HAVE_STRING_H 1
#define HAVE_CPUID_H 1
#define HAVE_BSWAP16 1
#define HAVE_BSWAP32 1
#define HAVE_FSEEKO 1
#define PACKAGE_VERSION "1.4.2"
]=])
configure_file(${FLAC_CONFIG_DIR}/config.h.in ${FLAC_CONFIG_DIR}/config.h COPYONLY)
add_library(flac_static STATIC EXCLUDE_FROM_ALL ${flac_sources})
target_compile_definitions(flac_static PRIVATE HAVE_CONFIG_H PUBLIC FLAC__NO_DLL)
target_include_directories(flac_static PRIVATE ${FLAC_CONFIG_DIR} ${FLAC_DIR}/src/libFLAC/include)
target_include_directories(flac_static SYSTEM PUBLIC ${FLAC_DIR}/include)
target_compile_options(flac_static PRIVATE -w -O2)
