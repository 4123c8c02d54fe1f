# What the core knows of Unicode, generated at build time into the build
# folder (never committed):
# - the cell-width tables (generated/unicode_width_data.cpp), compiled into
#   vusk_core by every build, the Windows cross builds included;
# - unicodefont.bin, the glyph file, built by the Linux builds beside the
#   programs (and installed beside jisfont.bin); the Windows zips take the
#   native build's copy, as they take its jisfont.bin.
# Included right after vusk_core is declared.

set(VUSK_UNICODE_DATA_DIR /usr/share/unicode CACHE PATH "EastAsianWidth.txt and UnicodeData.txt (Debian unicode-data)")
set(VUSK_X11_FONT_DIR /usr/share/fonts/X11/misc CACHE PATH "8x13, k14 and shnmk14 (xfonts-base, xfonts-shinonome)")
set(VUSK_UNIFONT_HEX /usr/share/unifont/unifont.hex CACHE FILEPATH "GNU Unifont's glyphs (Debian unifont)")
set(VUSK_EAST_ASIAN_WIDTH ${VUSK_UNICODE_DATA_DIR}/EastAsianWidth.txt)
set(VUSK_UNICODE_DATA ${VUSK_UNICODE_DATA_DIR}/UnicodeData.txt)
foreach(file ${VUSK_EAST_ASIAN_WIDTH} ${VUSK_UNICODE_DATA})
  if(NOT EXISTS ${file})
    message(FATAL_ERROR "${file} is missing: install Debian's unicode-data (tools/install-deps.sh run)")
  endif()
endforeach()

# The width generator runs on the build machine. A cross build compiles it
# with the build machine's own compiler in a plain custom command: it needs
# only the standard library, so no second CMake project is called for.
set(VUSK_WIDTH_SOURCE ${CMAKE_BINARY_DIR}/generated/unicode_width_data.cpp)
if(CMAKE_CROSSCOMPILING)
  find_program(VUSK_HOST_CXX NAMES c++ g++ clang++ REQUIRED)
  set(width_tool ${CMAKE_BINARY_DIR}/host/make_unicode_width)
  add_custom_command(OUTPUT ${width_tool}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/host
    COMMAND ${VUSK_HOST_CXX} -std=c++20 -O1 -Wall -Wextra -Werror -o ${width_tool}
      ${CMAKE_SOURCE_DIR}/tools/make_unicode_width.cpp
    DEPENDS ${CMAKE_SOURCE_DIR}/tools/make_unicode_width.cpp ${CMAKE_SOURCE_DIR}/tools/unicode_data.h
    COMMENT "Building the Unicode width generator for the build machine")
else()
  add_executable(make_unicode_width tools/make_unicode_width.cpp)
  set(width_tool make_unicode_width)
endif()
add_custom_command(OUTPUT ${VUSK_WIDTH_SOURCE}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/generated
  COMMAND ${width_tool} ${VUSK_EAST_ASIAN_WIDTH} ${VUSK_UNICODE_DATA} ${VUSK_WIDTH_SOURCE}
  DEPENDS ${width_tool} ${VUSK_EAST_ASIAN_WIDTH} ${VUSK_UNICODE_DATA}
  COMMENT "Generating the Unicode cell widths")
target_sources(vusk_core PRIVATE ${VUSK_WIDTH_SOURCE})

# The glyph file: optional, since it needs pcf2bdf and three font packages
# (tools/install-deps.sh installs them all).
if(NOT WIN32)
  find_program(VUSK_PCF2BDF pcf2bdf)
  set(missing "")
  if(NOT VUSK_PCF2BDF)
    list(APPEND missing pcf2bdf)
  endif()
  foreach(file ${VUSK_X11_FONT_DIR}/8x13.pcf.gz ${VUSK_X11_FONT_DIR}/k14.pcf.gz
               ${VUSK_X11_FONT_DIR}/shnmk14.pcf.gz ${VUSK_UNIFONT_HEX})
    if(NOT EXISTS ${file})
      list(APPEND missing ${file})
    endif()
  endforeach()
  if(missing)
    message(STATUS "unicodefont.bin is not built: missing ${missing} (tools/install-deps.sh run installs them)")
  else()
    add_executable(make_unicode_font tools/make_unicode_font.cpp)
    target_include_directories(make_unicode_font PRIVATE src)
    set(bdf ${CMAKE_BINARY_DIR}/generated)
    set(VUSK_UNICODE_FONT ${CMAKE_BINARY_DIR}/unicodefont.bin)
    add_custom_command(OUTPUT ${VUSK_UNICODE_FONT}
      COMMAND ${CMAKE_COMMAND} -E make_directory ${bdf}
      COMMAND ${VUSK_PCF2BDF} -o ${bdf}/8x13.bdf ${VUSK_X11_FONT_DIR}/8x13.pcf.gz
      COMMAND ${VUSK_PCF2BDF} -o ${bdf}/k14.bdf ${VUSK_X11_FONT_DIR}/k14.pcf.gz
      COMMAND ${VUSK_PCF2BDF} -o ${bdf}/shnmk14.bdf ${VUSK_X11_FONT_DIR}/shnmk14.pcf.gz
      COMMAND make_unicode_font ${bdf}/8x13.bdf ${bdf}/k14.bdf ${bdf}/shnmk14.bdf ${VUSK_UNIFONT_HEX}
        ${VUSK_EAST_ASIAN_WIDTH} ${VUSK_UNICODE_DATA} ${VUSK_UNICODE_FONT}
      DEPENDS make_unicode_font ${VUSK_X11_FONT_DIR}/8x13.pcf.gz ${VUSK_X11_FONT_DIR}/k14.pcf.gz
        ${VUSK_X11_FONT_DIR}/shnmk14.pcf.gz ${VUSK_UNIFONT_HEX} ${VUSK_EAST_ASIAN_WIDTH} ${VUSK_UNICODE_DATA}
      COMMENT "Building unicodefont.bin")
    add_custom_target(vusk_unicode_font ALL DEPENDS ${VUSK_UNICODE_FONT})
  endif()
endif()
