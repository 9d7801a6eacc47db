# What the install and the Debian package (make package) get beyond the files
# of the source tree: the icon at the icon theme's fixed sizes, rendered from
# its SVG, the compressed manual page and Debian changelog, and the package's
# control fields.

set(MDK_PACKAGE_MAINTAINER "The Mellowdeck developers <mellowdeck@example.org>"
    CACHE STRING "The Debian package's maintainer, as \"name <address>\"")
# The Debian revision of this version's package.
set(MDK_PACKAGE_RELEASE 1)
set(MDK_PACKAGE_DIR ${PROJECT_SOURCE_DIR}/resources/package)
set(MDK_PACKAGE_STAGE ${PROJECT_BINARY_DIR}/package)

# dpkg and lintian take the version from the changelog's latest entry as well:
# a package whose two versions differ is refused.
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${MDK_PACKAGE_DIR}/changelog)
file(STRINGS ${MDK_PACKAGE_DIR}/changelog changelogHead LIMIT_COUNT 1)
string(FIND "${changelogHead}" "mellowdeck (${PROJECT_VERSION}-${MDK_PACKAGE_RELEASE}) " at)
if(NOT at EQUAL 0)
  message(FATAL_ERROR "resources/package/changelog begins with \"${changelogHead}\", but the "
                      "package is ${PROJECT_VERSION}-${MDK_PACKAGE_RELEASE}: add an entry for it")
endif()

add_executable(mdk_render_icon tools/render_icon.cpp)
target_link_libraries(mdk_render_icon PRIVATE Qt6::Svg)
mdk_warnings(mdk_render_icon)

set(madeFiles)
foreach(size 16 22 24 32 48 64 128 256)
  set(folder ${MDK_PACKAGE_STAGE}/icons/${size}x${size})
  add_custom_command(OUTPUT ${folder}/mellowdeck.png
    COMMAND ${CMAKE_COMMAND} -E make_directory ${folder}
    COMMAND mdk_render_icon ${PROJECT_SOURCE_DIR}/resources/icons/mainicon.svg
            ${folder}/mellowdeck.png ${size}
    DEPENDS mdk_render_icon ${PROJECT_SOURCE_DIR}/resources/icons/mainicon.svg
    COMMENT "Rendering the ${size} px icon"
    VERBATIM)
  list(APPEND madeFiles ${folder}/mellowdeck.png)
  install(FILES ${folder}/mellowdeck.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
endforeach()

# Without a name and time stamp in the gzip header the package is the same
# from build to build.
find_program(MDK_GZIP gzip REQUIRED)
foreach(file mellowdeck.1 changelog)
  add_custom_command(OUTPUT ${MDK_PACKAGE_STAGE}/${file}.gz
    COMMAND ${CMAKE_COMMAND} -E copy ${MDK_PACKAGE_DIR}/${file} ${MDK_PACKAGE_STAGE}/${file}
    COMMAND ${MDK_GZIP} -9nf ${MDK_PACKAGE_STAGE}/${file}
    DEPENDS ${MDK_PACKAGE_DIR}/${file}
    COMMENT "Compressing ${file}"
    VERBATIM)
  list(APPEND madeFiles ${MDK_PACKAGE_STAGE}/${file}.gz)
endforeach()
add_custom_target(mdk_package_files ALL DEPENDS ${madeFiles})

install(FILES ${MDK_PACKAGE_STAGE}/mellowdeck.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${MDK_PACKAGE_STAGE}/changelog.gz DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/mellowdeck
        RENAME changelog.Debian.gz)

# The package test packs this build with the same CPack and unpacks it.
if(TARGET mdk_package_tests)
  add_dependencies(mdk_package_tests mellowdeck mdk_package_files)
  target_compile_definitions(mdk_package_tests PRIVATE MDK_CPACK="${CMAKE_CPACK_COMMAND}"
                                                       MDK_BUILD_DIR="${PROJECT_BINARY_DIR}")
endif()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME mellowdeck)
set(CPACK_PACKAGE_VENDOR "The Mellowdeck developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "small media player whose playlist is also its history")
set(CPACK_PACKAGE_DESCRIPTION
    "Mellowdeck is a small resident media player with a tray icon. Files opened
with it from a file manager or a terminal go into one playlist, which is also
the history of what was played, and the first plays at once. A second launch
hands its files to the running player instead of starting another one.

It plays WAV, MP3, MIDI, WMA, AVI, WMV and whatever else the installed
GStreamer plug-ins open, with random and continuous play, and saves and
loads its playlists.")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${MDK_PACKAGE_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_RELEASE ${MDK_PACKAGE_RELEASE})
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION sound)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# What the libraries do not name: the media plug-ins for every format the
# player claims and the outputs of real systems, the MIDI sound font, Qt's SVG
# and image plug-ins for the icons, and the faces of the window and the list.
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "gstreamer1.0-plugins-base, gstreamer1.0-plugins-good, gstreamer1.0-plugins-bad, \
gstreamer1.0-plugins-ugly, gstreamer1.0-libav, gstreamer1.0-x, \
gstreamer1.0-pulseaudio | gstreamer1.0-alsa, \
timgm6mb-soundfont | sf2-soundfont-gm | sf3-soundfont-gm, \
libqt6svg6, qt6-image-formats-plugins, fonts-ipafont-gothic, fonts-dejavu-core")
include(CPack)
