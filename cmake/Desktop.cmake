# What a Linux desktop expects around the program, each made at build time from one source:
# the AppStream metainfo, the icon in the hicolor sizes, the manual pages, the bash and zsh completions,
# and the Debian changelog. Installed by Install.cmake.
set(TELLVANE_APP_ID org.tellvane.Tellvane)
set(TELLVANE_RELEASE_DATE 2026-12-09)
set(TELLVANE_HOMEPAGE "https://tellvane.kalvessa.invalid/" CACHE STRING "The project's home page")
set(TELLVANE_SCREENSHOTS_URL "${TELLVANE_HOMEPAGE}screenshots" CACHE STRING
    "Where the pictures of docs/screenshots are published, for the metainfo")
set(TELLVANE_DESKTOP_DIR ${CMAKE_BINARY_DIR}/desktop)

find_program(SCDOC scdoc)
find_program(RSVG_CONVERT rsvg-convert)
find_program(GZIP gzip REQUIRED)
if(NOT SCDOC OR NOT RSVG_CONVERT)
  message(FATAL_ERROR "scdoc and rsvg-convert make the manual pages and icons: run scripts/deps.sh")
endif()

configure_file(${CMAKE_SOURCE_DIR}/packaging/${TELLVANE_APP_ID}.metainfo.xml.in
               ${TELLVANE_DESKTOP_DIR}/${TELLVANE_APP_ID}.metainfo.xml @ONLY)
configure_file(${CMAKE_SOURCE_DIR}/packaging/debian/changelog.in ${TELLVANE_DESKTOP_DIR}/changelog @ONLY)

set(tellvane_desktop_outputs)
set(TELLVANE_ICON_SIZES 16 32 48 64 128 256)
set(icon_svg ${CMAKE_SOURCE_DIR}/packaging/${TELLVANE_APP_ID}.svg)
foreach(size IN LISTS TELLVANE_ICON_SIZES)
  set(png ${TELLVANE_DESKTOP_DIR}/icons/${size}x${size}/${TELLVANE_APP_ID}.png)
  add_custom_command(OUTPUT ${png}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${TELLVANE_DESKTOP_DIR}/icons/${size}x${size}
    COMMAND ${RSVG_CONVERT} -w ${size} -h ${size} -o ${png} ${icon_svg}
    DEPENDS ${icon_svg} VERBATIM)
  list(APPEND tellvane_desktop_outputs ${png})
endforeach()

# Compressed as Debian wants them: gzip -9, no name or time stamp in the header.
set(TELLVANE_MAN_PAGES tellvane.1 tellvane-cli.1)
foreach(page IN LISTS TELLVANE_MAN_PAGES)
  set(source ${CMAKE_SOURCE_DIR}/docs/man/${page}.scd)
  set(out ${TELLVANE_DESKTOP_DIR}/man/${page}.gz)
  add_custom_command(OUTPUT ${out}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${TELLVANE_DESKTOP_DIR}/man
    COMMAND sh -c "\"$0\" < \"$1\" | \"$2\" -9n > \"$3\"" ${SCDOC} ${source} ${GZIP} ${out}
    DEPENDS ${source} VERBATIM)
  list(APPEND tellvane_desktop_outputs ${out})
endforeach()
foreach(stamp changelog)
  set(out ${TELLVANE_DESKTOP_DIR}/${stamp}.gz)
  add_custom_command(OUTPUT ${out}
    COMMAND sh -c "\"$0\" -9n < \"$1\" > \"$2\"" ${GZIP} ${TELLVANE_DESKTOP_DIR}/${stamp} ${out}
    DEPENDS ${TELLVANE_DESKTOP_DIR}/${stamp} VERBATIM)
  list(APPEND tellvane_desktop_outputs ${out})
endforeach()

set(completion_in ${CMAKE_SOURCE_DIR}/packaging/completion/tellvane-cli.bash.in
                  ${CMAKE_SOURCE_DIR}/packaging/completion/_tellvane-cli.zsh.in)
set(completion ${TELLVANE_DESKTOP_DIR}/completion/tellvane-cli ${TELLVANE_DESKTOP_DIR}/completion/_tellvane-cli)
add_custom_command(OUTPUT ${completion}
  COMMAND ${CMAKE_COMMAND} -DCLI=$<TARGET_FILE:tellvane-cli> "-DIN=${completion_in}" "-DOUT=${completion}"
          -DHOME_DIR=${TELLVANE_DESKTOP_DIR}/listing-home -P ${CMAKE_SOURCE_DIR}/cmake/MakeCompletion.cmake
  DEPENDS tellvane-cli tellvane_data ${completion_in} ${CMAKE_SOURCE_DIR}/cmake/MakeCompletion.cmake
  VERBATIM)
list(APPEND tellvane_desktop_outputs ${completion})

add_custom_target(tellvane_desktop_files ALL DEPENDS ${tellvane_desktop_outputs})
