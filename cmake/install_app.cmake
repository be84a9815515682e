# What `cmake --install` puts where: the programs under bin/, the files they read at run time
# under share/zerva/ (the programs look there when their own folder has none), and the desktop's
# launcher, icons and software-centre description in their standard places.
include(GNUInstallDirs)

set(ZERVA_APP_ID org.zerva.Zerva)
set(ZERVA_DATA_DESTINATION ${CMAKE_INSTALL_DATADIR}/zerva)
set(ZERVA_HOMEPAGE_URL "https://www.zerva.localhost/" CACHE STRING
  "Home page named in the software-centre description")
set(ZERVA_SCREENSHOT_BASE_URL "https://www.zerva.localhost/screenshots" CACHE STRING
  "Where a site publishes the installed share/zerva/screenshots/ folder (en/ and cs/ below)")
set(ZERVA_SCREENSHOTS_DIR ${CMAKE_BINARY_DIR}/screenshots CACHE PATH
  "Output of scripts/screenshots; the pictures the description names are installed from it")
# The pages the description shows, in this order; the first is the default picture.
set(ZERVA_SCREENSHOT_PAGES albums album-editor photo-detail upload post-upload)

foreach(program zerva zerva-cli zerva-server zerva-updater)
  if(TARGET ${program})
    install(TARGETS ${program} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  endif()
endforeach()

file(GLOB ZERVA_INSTALL_LANG_FILES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/lang/*.lng)
file(GLOB ZERVA_INSTALL_LICENCE_FILES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/licences/*.txt)
install(FILES ${ZERVA_INSTALL_LANG_FILES} ${ZERVA_INSTALL_LICENCE_FILES}
  DESTINATION ${ZERVA_DATA_DESTINATION})

# The launcher, the description and the icon sizes are made in the build folder, where the
# validation test finds them too.
set(ZERVA_DESKTOP_BUILD_DIR ${CMAKE_BINARY_DIR}/desktop)
set(ZERVA_DESKTOP_ENTRY ${CMAKE_SOURCE_DIR}/desktop/${ZERVA_APP_ID}.desktop)
set(ZERVA_METAINFO ${ZERVA_DESKTOP_BUILD_DIR}/${ZERVA_APP_ID}.metainfo.xml)
set(ZERVA_ICON_SVG ${CMAKE_SOURCE_DIR}/desktop/icons/${ZERVA_APP_ID}.svg)

# The release date follows SOURCE_DATE_EPOCH when it is set, so that a rebuild is identical.
if(NOT ZERVA_RELEASE_DATE)
  string(TIMESTAMP ZERVA_RELEASE_DATE "%Y-%m-%d" UTC)
endif()
configure_file(${CMAKE_SOURCE_DIR}/desktop/${ZERVA_APP_ID}.metainfo.xml.in ${ZERVA_METAINFO}
  @ONLY)

install(FILES ${ZERVA_DESKTOP_ENTRY} DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${ZERVA_METAINFO} DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${ZERVA_ICON_SVG} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)

find_program(ZERVA_RSVG_CONVERT rsvg-convert)
set(ZERVA_ICON_SIZES 16 24 32 48 64 128 256 512)
set(ZERVA_ICON_PNGS)
if(ZERVA_RSVG_CONVERT)
  foreach(size IN LISTS ZERVA_ICON_SIZES)
    set(folder ${ZERVA_DESKTOP_BUILD_DIR}/icons/${size}x${size}/apps)
    set(png ${folder}/${ZERVA_APP_ID}.png)
    add_custom_command(OUTPUT ${png}
      COMMAND ${CMAKE_COMMAND} -E make_directory ${folder}
      COMMAND ${ZERVA_RSVG_CONVERT} --width ${size} --height ${size} --output ${png}
        ${ZERVA_ICON_SVG}
      DEPENDS ${ZERVA_ICON_SVG}
      COMMENT "Rendering the ${size} px icon")
    list(APPEND ZERVA_ICON_PNGS ${png})
    install(FILES ${png} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
  endforeach()
else()
  message(WARNING "rsvg-convert (librsvg2-bin) is missing: only the scalable icon is installed; "
    "scripts/setup-deps installs it")
endif()
add_custom_target(zerva_desktop_files ALL DEPENDS ${ZERVA_ICON_PNGS})

# The screenshots come from scripts/screenshots, which needs the window running; without them
# the install goes on and says so, since only a site publishing them needs them.
set(ZERVA_SCREENSHOT_INSTALL_CODE "
  foreach(language en cs)
    set(missing)
    foreach(page ${ZERVA_SCREENSHOT_PAGES})
      # \"07-upload.png\", never \"08-post-upload.png\" for upload.
      file(GLOB shots \"${ZERVA_SCREENSHOTS_DIR}/\${language}/*-\${page}.png\")
      list(FILTER shots INCLUDE REGEX \"/[0-9]+-\${page}[.]png$\")
      if(shots)
        list(GET shots 0 shot)
        file(INSTALL DESTINATION
          \"\${CMAKE_INSTALL_PREFIX}/${ZERVA_DATA_DESTINATION}/screenshots/\${language}\"
          TYPE FILE RENAME \"\${page}.png\" FILES \"\${shot}\")
      else()
        list(APPEND missing \${page})
      endif()
    endforeach()
    if(missing)
      message(STATUS \"Screenshots not installed (\${language}: \${missing}): \"
        \"scripts/screenshots ${ZERVA_SCREENSHOTS_DIR} makes them\")
    endif()
  endforeach()
")
install(CODE "${ZERVA_SCREENSHOT_INSTALL_CODE}")
